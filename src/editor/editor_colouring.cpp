#include "editor/editor_colouring.h"

#include "colour/cls_edit_color.h"
#include "editor/rich_text_editor.h"

#include <QTextBlock>

namespace brindle {

EditorColouring::EditorColouring(RichTextEditor& editor, ErrorBoxSink& errors,
                                 QString keywordFilePath)
    : m_editor(editor), m_errors(errors), m_keywordFilePath(keywordFilePath),
      m_live(std::move(keywordFilePath)) {}

void EditorColouring::Colour() {
    if (!ColourChangedParagraphs())
        ColourWholeText();
}

bool EditorColouring::ColourChangedParagraphs() {
    const std::optional<RichTextEditor::ParagraphChange> change = m_editor.TakeParagraphChange();
    bool reset = false;
    colour::IncrementalColouring* colouring =
        m_live.Prepare(m_editor.FontName(), m_editor.FontSize(), reset);
    if (!colouring)
        return false;
    colour::IncrementalColouring::Changed changed;
    if (reset) {
        const QStringList paragraphs = m_editor.AllParagraphs();
        colouring->Reset(paragraphs);
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
    // Tabs become blanks in the text, as the full pass makes them.
    for (int i = first; i < first + count; ++i) {
        const QString shown = colouring->Text(i);
        if (shown != m_editor.ParagraphText(i))
            m_editor.ReplaceParagraphText(i, shown);
    }
    m_editor.SetColourSource(
        [this, colouring](int i) -> const std::vector<rtf::ColourRun>& {
            return i >= 0 && i < colouring->ParagraphCount() ? colouring->Runs(i) : m_noRuns;
        },
        m_live.Colours());
    m_editor.ShowParagraphColours(first, count);
    return true;
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
