#include "editor/editor_colouring.h"

#include "colour/cls_edit_color.h"
#include "colour/paragraph_colouring.h"
#include "editor/rich_text_editor.h"

#include <QTextBlock>

#include <utility>

namespace brindle {

EditorColouring::EditorColouring(RichTextEditor& editor, ErrorBoxSink& errors,
                                 QString keywordFilePath)
    : m_editor(editor), m_errors(errors), m_keywordFilePath(keywordFilePath),
      m_live(std::move(keywordFilePath)) {
    m_editor.SetTextShaper(this);
}

EditorColouring::~EditorColouring() {
    m_editor.SetTextShaper(nullptr);
}

void EditorColouring::Shape(QString& paragraphs) {
    bool reset = false;
    colour::IncrementalColouring* colouring =
        m_live.Prepare(m_editor.FontName(), m_editor.FontSize(), reset);
    // The whole text is new: colour it afresh.
    m_prepared = Prepared{colouring, true};
    if (colouring && paragraphs.contains(u'\t'))
        paragraphs = colour::ExpandTabs(paragraphs, colouring->TabSpaceNum());
    m_setText = paragraphs;
}

void EditorColouring::Finished() {
    m_prepared.reset();
    m_setText.clear();
}

colour::IncrementalColouring* EditorColouring::Prepare(bool& reset) {
    if (m_prepared) {
        const Prepared prepared = *std::exchange(m_prepared, std::nullopt);
        reset = prepared.reset;
        return prepared.colouring;
    }
    return m_live.Prepare(m_editor.FontName(), m_editor.FontSize(), reset);
}

void EditorColouring::Colour() {
    if (!ColourChangedParagraphs())
        ColourWholeText();
}

bool EditorColouring::ColourChangedParagraphs() {
    const std::optional<RichTextEditor::ParagraphChange> change = m_editor.TakeParagraphChange();
    bool reset = false;
    colour::IncrementalColouring* colouring = Prepare(reset);
    if (!colouring)
        return false;
    colour::IncrementalColouring::Changed changed;
    if (reset) {
        // A text just set is coloured from the string it came in, which
        // holds what the blocks hold unless it had separators of other kinds.
        const QString set = std::exchange(m_setText, QString());
        if (!set.isNull() && set.count(u'\n') + 1 == m_editor.ParagraphCount())
            colouring->Reset(set, u'\n');
        else
            colouring->Reset(m_editor.RawText(), QChar::ParagraphSeparator);
        changed = {0, colouring->ParagraphCount()};
    } else if (change) {
        QStringList added;
        added.reserve(change->added);
        QTextBlock block = m_editor.document()->findBlockByNumber(change->first);
        for (int i = 0; i < change->added && block.isValid(); ++i, block = block.next())
            added.append(block.text());
        changed = colouring->Update(change->first, change->removed, added);
    }
    m_live.Built();
    if (colouring->NeedsFullPass() || colouring->ParagraphCount() != m_editor.ParagraphCount())
        return false;
    const auto first = static_cast<int>(changed.first);
    const auto count = static_cast<int>(changed.count);
    ShowTabsAsBlanks(*colouring, first, count);
    m_editor.SetColourSource(
        [this, colouring](int i) -> const std::vector<rtf::ColourRun>& {
            return i >= 0 && i < colouring->ParagraphCount() ? colouring->Runs(i) : m_noRuns;
        },
        m_live.Colours());
    m_editor.ShowParagraphColours(first, count);
    return true;
}

void EditorColouring::ShowTabsAsBlanks(const colour::IncrementalColouring& colouring, int first,
                                       int count) {
    // Tabs become blanks in the text, as the full pass makes them. A
    // paragraph without a tab already shows its text as given.
    int from = -1;
    int to = -1;
    QTextBlock block = m_editor.document()->findBlockByNumber(first);
    for (int i = first; i < first + count && block.isValid(); ++i, block = block.next()) {
        if (colouring.HasTabs(i) && colouring.Text(i) != block.text()) {
            if (from < 0)
                from = i;
            to = i;
        }
    }
    if (from < 0)
        return;
    QStringList shown;
    shown.reserve(to - from + 1);
    for (int i = from; i <= to; ++i)
        shown.append(colouring.Text(i));
    m_editor.ReplaceParagraphs(from, shown);
    // The colouring has these texts already: what the replacement recorded
    // is no change for the next pass to colour again.
    m_editor.TakeParagraphChange();
}

void EditorColouring::ColourWholeText() {
    // The per-paragraph state may go with the table that made it.
    m_editor.ForgetColourSource();
    m_live.Forget();
    clsEditColor colouring(m_errors, m_keywordFilePath);
    colouring.setTabSpaceNum(4);
    const QString coloured = colouring.CColor(m_editor.TextRTF());
    // An unusable keyword table gives nothing: the user's text stays.
    if (!coloured.isEmpty())
        m_editor.setTextRTF(coloured);
}

} // namespace brindle
