#include "editor/rich_text_editor.h"

#include "core/error.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <utility>

namespace brindle {

namespace {

QStringList LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

} // namespace

QString DropData::Files(int index) const {
    if (index < 1 || index > FilesCount())
        throw SubscriptError();
    return paths.at(index - 1);
}

RichTextEditor::RichTextEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setAcceptDrops(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(true);
    connect(this, &QPlainTextEdit::textChanged, this, &RichTextEditor::OnDocumentChanged);
    m_blockCount = document()->blockCount();
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                if (removed != 0 || added != 0)
                    m_keyEdited = true;
                TrackContentsChange(position, removed, added);
            });
}

void RichTextEditor::TrackContentsChange(int position, int removed, int added) {
    // Colours going on change no text.
    if (m_silent > 0 || (removed == 0 && added == 0))
        return;
    const QTextDocument* doc = document();
    const int count = doc->blockCount();
    QTextBlock last = doc->findBlock(position + added);
    if (!last.isValid())
        last = doc->lastBlock();
    QTextBlock first = doc->findBlock(position);
    if (!first.isValid())
        first = doc->lastBlock();
    // The paragraphs the change covers now, and how many stood there before.
    const int before = m_blockCount;
    const int cf = first.blockNumber();
    const int ca = last.blockNumber() - cf + 1;
    const int cr = ca - (count - before);
    m_blockCount = count;
    if (cr < 1 || cf + cr > before) {
        // Not a change that reads as paragraphs replaced: all of them were.
        const int original =
            m_pendingChange ? before - m_pendingChange->added + m_pendingChange->removed : before;
        m_pendingChange = ParagraphChange{0, original, count};
        return;
    }
    if (!m_pendingChange) {
        m_pendingChange = ParagraphChange{cf, cr, ca};
        return;
    }
    // Both as ranges of the text just before this change: the union is what
    // changed since the text the pending change started from.
    ParagraphChange& p = *m_pendingChange;
    const int u0 = std::min(p.first, cf);
    const int u1 = std::max(p.first + p.added, cf + cr);
    p.removed += (u1 - u0) - p.added;
    p.added = (u1 - u0) - cr + ca;
    p.first = u0;
}

std::optional<RichTextEditor::ParagraphChange> RichTextEditor::TakeParagraphChange() {
    return std::exchange(m_pendingChange, std::nullopt);
}

int RichTextEditor::ParagraphCount() const {
    return document()->blockCount();
}

QString RichTextEditor::RawText() const {
    return document()->toRawText();
}

void RichTextEditor::ReplaceParagraphs(int first, const QStringList& texts) {
    if (texts.isEmpty())
        return;
    const QTextBlock from = document()->findBlockByNumber(first);
    const QTextBlock to = document()->findBlockByNumber(first + static_cast<int>(texts.size()) - 1);
    if (!from.isValid() || !to.isValid())
        return;
    QTextCursor cursor(document());
    cursor.setPosition(from.position());
    cursor.setPosition(to.position() + to.length() - 1, QTextCursor::KeepAnchor);
    if (m_changeDepth > 0 && document()->isUndoAvailable())
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    cursor.insertText(texts.join(u'\n'));
    cursor.endEditBlock();
}

void RichTextEditor::SetColourSource(ParagraphRuns runsOf, std::vector<rtf::Rgb> colours) {
    m_runsOf = std::move(runsOf);
    m_colourTable = std::move(colours);
}

void RichTextEditor::ForgetColourSource() {
    m_runsOf = nullptr;
    // Whatever waited keeps the colours it has.
    ++m_colourGeneration;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        block.setUserState(m_colourGeneration);
}

std::vector<QTextCharFormat> RichTextEditor::ColourFormats() const {
    // One shared format per colour: the ranges copy it, they do not build it.
    std::vector<QTextCharFormat> formats(m_colourTable.size() + 1);
    for (std::size_t i = 0; i < formats.size(); ++i)
        formats[i].setForeground(ColourOf(static_cast<int>(i)));
    return formats;
}

void RichTextEditor::ColourBlock(QTextBlock& block, const std::vector<QTextCharFormat>& formats) {
    block.setUserState(m_colourGeneration);
    QList<QTextLayout::FormatRange> ranges;
    const int length = block.length() - 1;
    for (const rtf::ColourRun& run : m_runsOf(block.blockNumber())) {
        const int from = std::clamp(run.start, 0, length);
        const int to = std::clamp(run.start + run.length, 0, length);
        if (to <= from)
            continue;
        const auto index = static_cast<std::size_t>(run.colour);
        QTextLayout::FormatRange range;
        range.start = from;
        range.length = to - from;
        range.format = run.colour > 0 && index < formats.size() ? formats[index] : formats[0];
        ranges.append(range);
    }
    QTextLayout* layout = block.layout();
    if (layout && layout->formats() != ranges) {
        layout->setFormats(ranges);
        document()->markContentsDirty(block.position(), block.length());
    }
}

void RichTextEditor::ShowParagraphColours(int first, int count) {
    if (!m_runsOf)
        return;
    ++m_silent;
    const auto done = qScopeGuard([this] { --m_silent; });
    QTextDocument* doc = document();
    // Beyond a few screens, the range waits until it comes into view.
    constexpr int AtOnce = 256;
    if (count > AtOnce) {
        if (first == 0 && count >= doc->blockCount()) {
            ++m_colourGeneration;
        } else {
            QTextBlock block = doc->findBlockByNumber(first);
            for (int i = 0; i < count && block.isValid(); ++i, block = block.next())
                block.setUserState(-1);
        }
        ColourBlocksInView();
        viewport()->update();
        return;
    }
    const std::vector<QTextCharFormat> formats = ColourFormats();
    QTextBlock block = doc->findBlockByNumber(first);
    for (int i = 0; i < count && block.isValid(); ++i, block = block.next())
        ColourBlock(block, formats);
}

void RichTextEditor::ColourBlocksInView() {
    if (!m_runsOf)
        return;
    ++m_silent;
    const auto done = qScopeGuard([this] { --m_silent; });
    std::vector<QTextCharFormat> formats;
    const int bottom = viewport()->height();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > bottom)
            break;
        if (block.userState() == m_colourGeneration)
            continue;
        if (formats.empty())
            formats = ColourFormats();
        ColourBlock(block, formats);
    }
}

void RichTextEditor::paintEvent(QPaintEvent* event) {
    ColourBlocksInView();
    QPlainTextEdit::paintEvent(event);
}

void RichTextEditor::OnDocumentChanged() {
    if (m_silent > 0 || m_changeDepth > 0 || m_settingText > 0)
        return;
    // The edit block around a key reports a change even when the key edited
    // nothing; colouring then would drop the selection the key just made.
    if (m_inKey && !m_keyEdited)
        return;
    ++m_changeDepth;
    const auto done = qScopeGuard([this] { --m_changeDepth; });
    emit Change();
}

QString RichTextEditor::Paragraphs() const {
    const QTextDocument* doc = document();
    QString out;
    out.reserve(doc->characterCount());
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin())
            out += u'\n';
        out += block.text();
    }
    return out;
}

QString RichTextEditor::Text() const {
    return rtf::PlainFromParagraphs(Paragraphs());
}

void RichTextEditor::setText(const QString& text) {
    m_colourTable.clear();
    QString paragraphs = rtf::ParagraphsFromPlain(text);
    // The view lays out every paragraph again when its width changes, as it
    // does when the vertical scroll bar comes: for a long text the bar comes
    // first, while there is little to lay out.
    const qsizetype breaks = paragraphs.count(u'\n');
    const bool barFirst = isVisible() && verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded &&
                          !verticalScrollBar()->isVisible() &&
                          breaks > std::max(viewport()->height(), 1000);
    if (barFirst)
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const auto restoreBar = qScopeGuard([this, barFirst] {
        if (barFirst)
            setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    });
    emit AboutToSetText(static_cast<int>(std::min<qsizetype>(breaks + 1, INT_MAX)));
    if (!m_shaper) {
        ShowWholeText(paragraphs);
        return;
    }
    TextShaper* shaper = m_shaper;
    const auto finished = qScopeGuard([shaper] { shaper->Finished(); });
    shaper->Shape(paragraphs);
    ShowWholeText(paragraphs);
}

void RichTextEditor::ShowWholeText(const QString& paragraphs) {
    // What setPlainText does, less its setting the format of every character
    // again (the characters have no format of their own here), which for a
    // long script costs a good part of putting the text in.
    QTextDocument* doc = document();
    {
        ++m_settingText;
        const auto done = qScopeGuard([this] { --m_settingText; });
        const bool undo = doc->isUndoRedoEnabled();
        doc->setUndoRedoEnabled(false);
        doc->setPlainText(paragraphs);
        doc->setUndoRedoEnabled(undo);
        doc->setModified(false);
        setTextCursor(QTextCursor(doc));
    }
    // One Change for the whole text, as setPlainText gives.
    OnDocumentChanged();
    ensureCursorVisible();
}

void RichTextEditor::ReplaceText(const QString& text) {
    const QString wanted = rtf::ParagraphsFromPlain(text);
    const QString current = Paragraphs();
    if (wanted != current)
        ReplaceChangedRange(current, wanted);
}

QString RichTextEditor::TextRTF() const {
    return rtf::WriteRtf(Paragraphs(), FontName(), FontSize());
}

void RichTextEditor::setTextRTF(const QString& rtf) {
    const rtf::RtfContent content = rtf::ReadRtf(rtf);
    const QString current = Paragraphs();
    if (content.text != current)
        ReplaceChangedRange(current, content.text);
    ApplyColours(content);
}

void RichTextEditor::ReplaceChangedRange(const QString& current, const QString& wanted) {
    // Only the range that differs is replaced, so the view keeps its place.
    // Inside a Change handler the replacement joins the user's edit, so one
    // undo step takes back both.
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(current.size(), wanted.size());
    while (prefix < shorter && current[prefix] == wanted[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           current[current.size() - 1 - suffix] == wanted[wanted.size() - 1 - suffix])
        ++suffix;
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(prefix));
    cursor.setPosition(static_cast<int>(current.size() - suffix), QTextCursor::KeepAnchor);
    if (m_changeDepth > 0 && document()->isUndoAvailable())
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    cursor.insertText(wanted.mid(prefix, wanted.size() - suffix - prefix));
    cursor.endEditBlock();
}

void RichTextEditor::ApplyColours(const rtf::RtfContent& content) {
    m_runsOf = nullptr;
    ++m_silent;
    const auto done = qScopeGuard([this] { --m_silent; });
    m_colourTable = content.colours;
    const std::vector<QTextCharFormat> formats = ColourFormats();
    const auto formatOf = [&](int colour) -> const QTextCharFormat& {
        const auto index = static_cast<std::size_t>(colour);
        return colour > 0 && index < formats.size() ? formats[index] : formats[0];
    };
    QTextDocument* doc = document();
    auto run = content.runs.begin();
    int blockStart = 0; // offset of the block in content.text
    int dirtyFrom = -1;
    int dirtyTo = -1;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const int blockEnd = blockStart + block.length() - 1;
        QList<QTextLayout::FormatRange> ranges;
        while (run != content.runs.end() && run->start + run->length <= blockStart)
            ++run;
        for (auto r = run; r != content.runs.end() && r->start < blockEnd; ++r) {
            const int from = std::max(r->start, blockStart);
            const int to = std::min(r->start + r->length, blockEnd);
            if (to <= from)
                continue;
            QTextLayout::FormatRange range;
            range.start = from - blockStart;
            range.length = to - from;
            range.format = formatOf(r->colour);
            ranges.append(range);
        }
        QTextLayout* layout = block.layout();
        if (layout && (layout->formats() != ranges)) {
            layout->setFormats(ranges);
            if (dirtyFrom < 0)
                dirtyFrom = block.position();
            dirtyTo = block.position() + block.length();
        }
        blockStart = blockEnd + 1;
    }
    // One span for all recoloured blocks: the layout redoes everything after
    // each mark, so a mark per block costs the square of the line count.
    if (dirtyFrom >= 0)
        doc->markContentsDirty(dirtyFrom, dirtyTo - dirtyFrom);
}

std::vector<rtf::ColourRun> RichTextEditor::ColourRuns() const {
    if (m_runsOf) {
        // What waits for the view is what the text shows: colour it first.
        auto* self = const_cast<RichTextEditor*>(this);
        ++self->m_silent;
        const std::vector<QTextCharFormat> formats = ColourFormats();
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            if (block.userState() != m_colourGeneration)
                self->ColourBlock(block, formats);
        }
        --self->m_silent;
    }
    std::vector<rtf::ColourRun> runs;
    int blockStart = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (const QTextLayout* layout = block.layout()) {
            const QList<QTextLayout::FormatRange> ranges = layout->formats();
            for (const QTextLayout::FormatRange& range : ranges) {
                const QColor colour = range.format.foreground().color();
                int index = 0;
                for (size_t i = 1; i < m_colourTable.size(); ++i) {
                    if (ColourOf(static_cast<int>(i)) == colour) {
                        index = static_cast<int>(i);
                        break;
                    }
                }
                runs.push_back({blockStart + range.start, range.length, index});
            }
        }
        blockStart += block.length();
    }
    return runs;
}

QColor RichTextEditor::ColourOf(int colourIndex) const {
    if (colourIndex <= 0 || colourIndex >= static_cast<int>(m_colourTable.size()))
        return palette().color(QPalette::Text);
    const rtf::Rgb& rgb = m_colourTable[static_cast<size_t>(colourIndex)];
    if (rgb.isDefault)
        return palette().color(QPalette::Text);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

int RichTextEditor::TextLength() const {
    const QTextDocument* doc = document();
    return doc->characterCount() - 1 + (doc->blockCount() - 1);
}

int RichTextEditor::OffsetFromPosition(int position) const {
    const QTextBlock block = document()->findBlock(position);
    return position + (block.isValid() ? block.blockNumber() : 0);
}

int RichTextEditor::PositionFromOffset(int offset, bool intoNextParagraph) const {
    const QTextDocument* doc = document();
    offset = std::clamp(offset, 0, TextLength());
    // The last block whose start offset is at or before `offset`.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        const QTextBlock b = doc->findBlockByNumber(mid);
        if (b.position() + mid <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int column = offset - (block.position() + lo);
    const int textLength = block.length() - 1;
    if (column <= textLength)
        return block.position() + column;
    // Between the CR and the LF of a paragraph end.
    return intoNextParagraph && block.next().isValid() ? block.next().position()
                                                       : block.position() + textLength;
}

int RichTextEditor::SelStart() const {
    return OffsetFromPosition(textCursor().selectionStart());
}

void RichTextEditor::setSelStart(int offset) {
    if (offset < 0)
        throw InvalidPropertyError();
    QTextCursor cursor = textCursor();
    cursor.setPosition(PositionFromOffset(offset, false));
    setTextCursor(cursor);
}

int RichTextEditor::SelLength() const {
    const QTextCursor cursor = textCursor();
    return OffsetFromPosition(cursor.selectionEnd()) - OffsetFromPosition(cursor.selectionStart());
}

void RichTextEditor::setSelLength(int length) {
    if (length < 0)
        throw InvalidPropertyError();
    const int start = SelStart();
    QTextCursor cursor = textCursor();
    cursor.setPosition(PositionFromOffset(start, false));
    cursor.setPosition(PositionFromOffset(start + length, true), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextEditor::SelText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

QString RichTextEditor::FontName() const {
    return font().family();
}

void RichTextEditor::ApplyFont(const QFont& f) {
    setFont(f);
    document()->setDefaultFont(f);
}

void RichTextEditor::setFontName(const QString& name) {
    QFont f = font();
    f.setFamily(name);
    ApplyFont(f);
}

double RichTextEditor::FontSize() const {
    return font().pointSizeF();
}

void RichTextEditor::setFontSize(double points) {
    if (!(points >= 1.0 && points <= 1638.0))
        throw InvalidPropertyError();
    QFont f = font();
    f.setPointSizeF(points);
    ApplyFont(f);
}

bool RichTextEditor::FontBold() const {
    return font().bold();
}

void RichTextEditor::setFontBold(bool bold) {
    QFont f = font();
    f.setBold(bold);
    ApplyFont(f);
}

bool RichTextEditor::FontItalic() const {
    return font().italic();
}

void RichTextEditor::setFontItalic(bool italic) {
    QFont f = font();
    f.setItalic(italic);
    ApplyFont(f);
}

void RichTextEditor::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

void RichTextEditor::FreezePainting() {
    viewport()->setUpdatesEnabled(false);
}

void RichTextEditor::ResumePainting() {
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
}

void RichTextEditor::keyPressEvent(QKeyEvent* event) {
    // Each keystroke is one edit block, so the change it causes (a tab
    // turned into blanks by the colouring) joins it and one undo takes back
    // both.
    const QScopedValueRollback<bool> inKey(m_inKey, true);
    const QScopedValueRollback<bool> edited(m_keyEdited, false);
    QTextCursor block(document());
    block.beginEditBlock();
    // Shift+Enter would insert a line separator inside a paragraph, which the
    // plain text could not represent; make it an ordinary paragraph end.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
    } else {
        QPlainTextEdit::keyPressEvent(event);
    }
    block.endEditBlock();
}

bool RichTextEditor::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

void RichTextEditor::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText())
        return;
    InsertPlainText(source->text());
}

void RichTextEditor::InsertPlainText(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(rtf::ParagraphsFromPlain(text));
    cursor.endEditBlock();
    ensureCursorVisible();
}

void RichTextEditor::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void RichTextEditor::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(event);
}

void RichTextEditor::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (!files.isEmpty()) {
        event->acceptProposedAction();
        emit OLEDragDrop(DropData{files});
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

} // namespace brindle
