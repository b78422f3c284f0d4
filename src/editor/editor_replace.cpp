#include "editor/editor_replace.h"

#include "editor/rich_text_editor.h"

#include <QScrollBar>
#include <QTextDocument>

#include <algorithm>

namespace brindle {

namespace {

QString NotFound(const ReplaceRequest& request) {
    return QStringLiteral("「%1」が見つかりません。").arg(request.findWhat);
}

} // namespace

EditorReplace::EditorReplace(RichTextEditor& editor)
    : m_editor(editor), m_scope(editor.textCursor()) {}

QString EditorReplace::Paragraphs() const {
    QString text = m_editor.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

std::pair<int, int> EditorReplace::Scope(const ReplaceRequest& request) const {
    if (request.inSelection && m_scope.hasSelection())
        return {m_scope.selectionStart(), m_scope.selectionEnd()};
    return {0, m_editor.document()->characterCount() - 1};
}

void EditorReplace::Select(int start, int end) {
    QTextCursor cursor(m_editor.document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    m_editor.setTextCursor(cursor);
    m_editor.ensureCursorVisible();
}

QString EditorReplace::FindFrom(const editing::TextFinder& finder, const QString& text, int from,
                                const ReplaceRequest& request) {
    const auto [start, end] = Scope(request);
    const auto found = finder.FindWrapping(text, from, start, end);
    if (!found)
        return NotFound(request);
    Select(static_cast<int>(found->start), static_cast<int>(found->end()));
    return {};
}

QString EditorReplace::FindNext(const ReplaceRequest& request) {
    const editing::TextFinder finder(request.findWhat, request.options);
    if (!finder.Problem().isEmpty())
        return finder.Problem();
    return FindFrom(finder, Paragraphs(), m_editor.textCursor().selectionEnd(), request);
}

QString EditorReplace::Replace(const ReplaceRequest& request) {
    const editing::TextFinder finder(request.findWhat, request.options);
    if (!finder.Problem().isEmpty())
        return finder.Problem();
    QString text = Paragraphs();
    const QTextCursor selection = m_editor.textCursor();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    const auto [scopeStart, scopeEnd] = Scope(request);
    int from = end;
    if (start >= scopeStart && end <= scopeEnd) {
        if (const auto replacement =
                finder.ReplacementAt(text, {start, end - start}, request.replaceWith)) {
            QTextCursor cursor(m_editor.document());
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.beginEditBlock();
            cursor.insertText(*replacement);
            cursor.endEditBlock();
            // The search goes on after what was put in, never into it.
            from = start + static_cast<int>(replacement->size());
            text = Paragraphs();
        }
    }
    return FindFrom(finder, text, from, request);
}

QString EditorReplace::ReplaceAll(const ReplaceRequest& request) {
    const editing::TextFinder finder(request.findWhat, request.options);
    if (!finder.Problem().isEmpty())
        return finder.Problem();
    const QString text = Paragraphs();
    const auto [start, end] = Scope(request);
    const editing::TextFinder::Replaced replaced =
        finder.ReplaceAll(text, start, end, request.replaceWith);
    if (replaced.count == 0)
        return NotFound(request);
    const int caret = m_editor.textCursor().position();
    const int scroll = m_editor.verticalScrollBar()->value();
    m_editor.ReplaceText(replaced.text);
    const int newEnd = end + static_cast<int>(replaced.text.size() - text.size());
    if (request.inSelection && m_scope.hasSelection()) {
        m_scope.setPosition(start);
        m_scope.setPosition(newEnd, QTextCursor::KeepAnchor);
        Select(start, newEnd);
    } else {
        QTextCursor cursor(m_editor.document());
        cursor.setPosition(std::clamp(caret, 0, m_editor.document()->characterCount() - 1));
        m_editor.setTextCursor(cursor);
        m_editor.verticalScrollBar()->setValue(scroll);
    }
    return QStringLiteral("%1 件置換しました。").arg(replaced.count);
}

} // namespace brindle
