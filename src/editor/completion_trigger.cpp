#include "editor/completion_context.h"

#include "editor/sql_tokens.h"

#include <algorithm>
#include <optional>

namespace brindle::completion {

using editing::IsLineEnd;
using editing::SqlToken;
using editing::SqlTokenKind;

namespace {

// How far back a keystroke looks for the start of its line.
constexpr qsizetype kLongestLine = 4096;

// The line holding the character before `end`, from its start to `end`; or
// nothing when it starts further back than a keystroke looks.
std::optional<QStringView> LineBefore(QStringView text, qsizetype end) {
    const qsizetype floor = std::max<qsizetype>(0, end - kLongestLine);
    qsizetype start = end;
    while (start > floor && !IsLineEnd(text[start - 1]))
        --start;
    if (start == floor && floor > 0 && !IsLineEnd(text[start - 1]))
        return std::nullopt;
    return text.sliced(start, end - start);
}

bool IsName(const SqlToken& t) {
    return t.kind == SqlTokenKind::Word || (t.kind == SqlTokenKind::QuotedName && !t.openEnd);
}

// "." typed at `dot`: its own token, right after a name (a number such as
// 1.5 takes its dot, and a string or comment takes any).
bool DotOpens(QStringView text, qsizetype dot) {
    const std::optional<QStringView> line = LineBefore(text, dot + 1);
    if (!line)
        return false;
    const std::vector<SqlToken> tokens = editing::SqlTokens(*line);
    const auto n = tokens.size();
    return n >= 2 && tokens[n - 1].kind == SqlTokenKind::Punct && IsName(tokens[n - 2]) &&
           tokens[n - 2].end == tokens[n - 1].start;
}

// A blank or line end typed at `at`: right after a table keyword, a word of
// its own (not x.from).
bool BlankOpens(QStringView text, qsizetype at) {
    qsizetype end = at;
    if (text[at] == u'\n' && end > 0 && text[end - 1] == u'\r')
        --end;
    const std::optional<QStringView> line = LineBefore(text, end);
    if (!line)
        return false;
    const std::vector<SqlToken> tokens = editing::SqlTokens(*line);
    const auto n = tokens.size();
    if (n == 0 || tokens[n - 1].kind != SqlTokenKind::Word || tokens[n - 1].end != line->size())
        return false;
    if (n >= 2 && tokens[n - 2].kind == SqlTokenKind::Punct && (*line)[tokens[n - 2].start] == u'.')
        return false;
    const QStringView word = line->sliced(tokens[n - 1].start);
    for (QStringView keyword : {u"FROM", u"JOIN", u"INTO", u"UPDATE"}) {
        if (word.size() == keyword.size() && word.compare(keyword, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

bool OpensByItself(QStringView text, qsizetype caret) {
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    if (caret == 0)
        return false;
    // A character typed in front of a name is an edit of that name.
    if (caret < text.size() && editing::IsNameChar(text[caret]))
        return false;
    const QChar typed = text[caret - 1];
    if (typed == u'.')
        return DotOpens(text, caret - 1);
    if (typed == u' ' || typed == u'\t' || typed == u'\u3000' || IsLineEnd(typed))
        return BlankOpens(text, caret - 1);
    return false;
}

} // namespace brindle::completion
