#include "editor/bracket_match.h"

#include <vector>

namespace brindle::editing {

namespace {

// The brackets of `text` outside strings and comments, in order, with the
// index into them of the one at `at` (or -1).
std::vector<qsizetype> CodeBrackets(QStringView text, qsizetype at, qsizetype& atIndex) {
    std::vector<qsizetype> brackets;
    atIndex = -1;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            // A quote doubled inside stays inside.
            ++i;
            while (i < n) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            while (i < n && text[i] != u'\n' && text[i] != u'\r')
                ++i;
        } else if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            i += 2;
            while (i < n && !(text[i] == u'*' && i + 1 < n && text[i + 1] == u'/'))
                ++i;
            i += 2;
        } else {
            if (c == u'(' || c == u')') {
                if (i == at)
                    atIndex = static_cast<qsizetype>(brackets.size());
                brackets.push_back(i);
            }
            ++i;
        }
    }
    return brackets;
}

std::optional<BracketPair> PairOf(QStringView text, qsizetype at) {
    qsizetype index = -1;
    const std::vector<qsizetype> brackets = CodeBrackets(text, at, index);
    if (index < 0)
        return std::nullopt;
    const auto count = static_cast<qsizetype>(brackets.size());
    const auto opens = [&](qsizetype k) {
        return text[brackets[static_cast<std::size_t>(k)]] == u'(';
    };
    int depth = 0;
    if (opens(index)) {
        for (qsizetype k = index; k < count; ++k) {
            depth += opens(k) ? 1 : -1;
            if (depth == 0)
                return BracketPair{at, brackets[static_cast<std::size_t>(k)]};
        }
    } else {
        for (qsizetype k = index; k >= 0; --k) {
            depth += opens(k) ? -1 : 1;
            if (depth == 0)
                return BracketPair{brackets[static_cast<std::size_t>(k)], at};
        }
    }
    return std::nullopt;
}

bool IsBracket(QStringView text, qsizetype at) {
    return at >= 0 && at < text.size() && (text[at] == u'(' || text[at] == u')');
}

} // namespace

std::optional<BracketPair> MatchBracket(QStringView text, qsizetype caret) {
    if (IsBracket(text, caret)) {
        if (auto pair = PairOf(text, caret))
            return pair;
    }
    if (IsBracket(text, caret - 1))
        return PairOf(text, caret - 1);
    return std::nullopt;
}

} // namespace brindle::editing
