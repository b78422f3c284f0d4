#include "editor/bracket_highlighter.h"

#include "editor/bracket_match.h"
#include "editor/rich_text_editor.h"

#include <QTextBlock>

namespace brindle {

namespace {

// How far from the caret a partner is looked for, each way.
constexpr int ReachLines = 2000;
constexpr qsizetype ReachChars = 100000;

bool IsBracket(QChar c) {
    return c == u'(' || c == u')';
}

} // namespace

BracketHighlighter::BracketHighlighter(RichTextEditor& editor)
    : QObject(&editor), m_editor(editor) {
    connect(&editor, &QPlainTextEdit::cursorPositionChanged, this, &BracketHighlighter::Refresh);
    // An edit moves the highlight with the text; where it stands is worked
    // out again.
    connect(&editor, &QPlainTextEdit::textChanged, this, [this] {
        m_stale = true;
        Refresh();
    });
}

std::optional<std::pair<int, int>> BracketHighlighter::PairAtCaret() const {
    const QTextCursor caret = m_editor.textCursor();
    const QTextBlock block = caret.block();
    const QString line = block.text();
    const int column = caret.positionInBlock();
    const bool after = column < line.size() && IsBracket(line[column]);
    const bool before = column > 0 && IsBracket(line[column - 1]);
    if (!after && !before)
        return std::nullopt;
    // The lines around the caret, joined as the document joins them.
    QTextBlock first = block;
    qsizetype chars = line.size();
    for (int i = 0; i < ReachLines && first.previous().isValid() && chars < ReachChars; ++i) {
        first = first.previous();
        chars += first.length();
    }
    QTextBlock last = block;
    chars = line.size();
    for (int i = 0; i < ReachLines && last.next().isValid() && chars < ReachChars; ++i) {
        last = last.next();
        chars += last.length();
    }
    QString window;
    for (QTextBlock b = first;; b = b.next()) {
        window += b.text();
        if (b == last)
            break;
        window += u'\n';
    }
    const int origin = first.position();
    const auto pair = editing::MatchBracket(window, caret.position() - origin);
    if (!pair)
        return std::nullopt;
    return std::make_pair(origin + static_cast<int>(pair->open),
                          origin + static_cast<int>(pair->close));
}

void BracketHighlighter::Refresh() {
    const auto pair = PairAtCaret();
    if (pair == m_shown && !m_stale)
        return;
    if (!pair && !m_shown && m_editor.extraSelections().isEmpty()) {
        m_stale = false;
        return;
    }
    m_shown = pair;
    m_stale = false;
    QList<QTextEdit::ExtraSelection> selections;
    if (pair) {
        QColor colour = m_editor.palette().color(QPalette::Highlight);
        colour.setAlpha(70);
        for (const int at : {pair->first, pair->second}) {
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(m_editor.document());
            selection.cursor.setPosition(at);
            selection.cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
            selection.format.setBackground(colour);
            selections.append(selection);
        }
    }
    m_editor.setExtraSelections(selections);
}

} // namespace brindle
