#pragma once

#include <QStringView>

#include <optional>

namespace brindle::editing {

// Two round brackets that belong together, as offsets into the text.
struct BracketPair {
    qsizetype open = 0;
    qsizetype close = 0;
    friend bool operator==(const BracketPair&, const BracketPair&) = default;
};

// The pair of the bracket next to the caret: the one just after `caret`,
// else the one just before it. Brackets in strings ('...', "...") and
// comments (-- and /* */) are not counted, nor is a bracket the caret
// stands next to there. `text` is read as SQL from its start, so a caller
// that passes a part of a longer text passes one that starts outside any
// string or comment as far as it can tell. Nothing when there is no bracket
// next to the caret or it has no partner in the text.
std::optional<BracketPair> MatchBracket(QStringView text, qsizetype caret);

} // namespace brindle::editing
