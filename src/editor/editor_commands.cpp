#include "editor/editor_commands.h"

#include "editor/batch_at_caret.h"
#include "editor/line_edits.h"
#include "editor/rich_text_editor.h"
#include "editor/text_lines.h"

#include <QKeyEvent>
#include <QTextBlock>

#include <vector>

namespace brindle {

namespace {

editing::TextPoint PointOf(const QTextDocument& doc, int position) {
    const QTextBlock block = doc.findBlock(position);
    return {block.blockNumber(), position - block.position()};
}

// The lines a line command works on, and their text.
struct TouchedText {
    editing::LineRange range;
    QStringList lines;
};

TouchedText Touched(const RichTextEditor& editor) {
    const QTextDocument& doc = *editor.document();
    const QTextCursor cursor = editor.textCursor();
    TouchedText touched;
    touched.range = editing::TouchedLines(PointOf(doc, cursor.selectionStart()),
                                          PointOf(doc, cursor.selectionEnd()));
    QTextBlock block = doc.findBlockByNumber(touched.range.first);
    for (int i = 0; i < touched.range.count() && block.isValid(); ++i, block = block.next())
        touched.lines.append(block.text());
    return touched;
}

// The edits as one edit block: one undo step, one change of the text. A
// selection then covers the whole lines touched, ready for the next command.
void Apply(RichTextEditor& editor, const editing::LineRange& range,
           const std::vector<editing::LineEdit>& edits) {
    if (edits.empty())
        return;
    QTextDocument& doc = *editor.document();
    const QTextCursor before = editor.textCursor();
    const bool selected = before.hasSelection();
    const bool endsAtLineStart =
        selected && doc.findBlock(before.selectionEnd()).blockNumber() > range.last;
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (const editing::LineEdit& edit : edits) {
        const QTextBlock block = doc.findBlockByNumber(edit.line);
        if (!block.isValid())
            continue;
        cursor.setPosition(block.position() + edit.column);
        cursor.setPosition(block.position() + edit.column + edit.removed, QTextCursor::KeepAnchor);
        cursor.insertText(edit.inserted);
    }
    // Raises the change, whose handler puts the caret back where it was.
    cursor.endEditBlock();
    if (selected) {
        const QTextBlock first = doc.findBlockByNumber(range.first);
        const QTextBlock last = doc.findBlockByNumber(range.last);
        QTextCursor lines(&doc);
        lines.setPosition(first.position());
        const int end = endsAtLineStart && last.next().isValid()
                            ? last.next().position()
                            : last.position() + last.length() - 1;
        lines.setPosition(end, QTextCursor::KeepAnchor);
        editor.setTextCursor(lines);
    }
    editor.ensureCursorVisible();
}

} // namespace

void ToggleLineComments(RichTextEditor& editor) {
    const TouchedText touched = Touched(editor);
    Apply(editor, touched.range, editing::ToggleLineComments(touched.lines, touched.range.first));
}

void IndentLines(RichTextEditor& editor, int width) {
    const TouchedText touched = Touched(editor);
    Apply(editor, touched.range, editing::IndentLines(touched.lines, touched.range.first, width));
}

void OutdentLines(RichTextEditor& editor, int width) {
    const TouchedText touched = Touched(editor);
    Apply(editor, touched.range, editing::OutdentLines(touched.lines, touched.range.first, width));
}

bool SelectionSpansLines(const RichTextEditor& editor) {
    const QTextCursor cursor = editor.textCursor();
    const QTextDocument& doc = *editor.document();
    return cursor.hasSelection() &&
           doc.findBlock(cursor.selectionStart()) != doc.findBlock(cursor.selectionEnd());
}

void GoToLine(RichTextEditor& editor, int number) {
    const QString text = editor.Text();
    editor.setSelStart(
        static_cast<int>(editing::LineStartOffset(editing::LineIndex(text), number)));
    editor.centerCursor();
}

int CaretLine(const RichTextEditor& editor) {
    return editor.textCursor().blockNumber() + 1;
}

bool SelectBatchAtCaret(RichTextEditor& editor) {
    const QString text = editor.Text();
    const auto batch = editing::BatchAt(text, editor.SelStart());
    if (!batch)
        return false;
    editor.setSelStart(static_cast<int>(batch->start));
    editor.setSelLength(static_cast<int>(batch->length));
    return true;
}

IndentKeys::IndentKeys(RichTextEditor& editor) : QObject(&editor), m_editor(editor) {
    editor.installEventFilter(this);
}

bool IndentKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_editor || event->type() != QEvent::KeyPress || m_editor.isReadOnly())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool tab = key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier;
    const bool backtab = key->key() == Qt::Key_Backtab ||
                         (key->key() == Qt::Key_Tab && modifiers == Qt::ShiftModifier);
    if ((!tab && !backtab) || !SelectionSpansLines(m_editor))
        return QObject::eventFilter(watched, event);
    if (tab)
        IndentLines(m_editor);
    else
        OutdentLines(m_editor);
    return true;
}

} // namespace brindle
