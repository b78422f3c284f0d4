#include "editor/batch_at_caret.h"

#include "data/split_batches.h"

namespace brindle::editing {

std::optional<TextSpan> BatchAt(QStringView text, qsizetype offset) {
    const LineIndex lines(text);
    const int caretLine = lines.PointAt(offset).line;
    // Only the lines of the batch are looked at, so a long script costs no
    // more than its index.
    int last = caretLine;
    if (IsGoLine(lines.Line(caretLine))) {
        last = caretLine - 1;
    } else {
        while (last + 1 < lines.LineCount() && !IsGoLine(lines.Line(last + 1)))
            ++last;
    }
    int first = last + 1;
    while (first > 0 && !IsGoLine(lines.Line(first - 1)))
        --first;
    while (first <= last && IsBlankLine(lines.Line(first)))
        ++first;
    while (last >= first && IsBlankLine(lines.Line(last)))
        --last;
    if (first > last)
        return std::nullopt;
    const qsizetype start = lines.LineStart(first);
    const QStringView lastLine = lines.Line(last);
    const qsizetype end = lines.LineStart(last) + lastLine.size();
    return TextSpan{start, end - start};
}

} // namespace brindle::editing
