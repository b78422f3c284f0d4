#include "data/split_batches.h"

#include "core/error.h"

#include <QStringView>

#include <utility>

namespace brindle {

// Upper case and trimmed of code-32 spaces only, the piece reads "GO". Only
// 'g' and 'o' have "G" and "O" as their upper case, so nothing is converted.
bool IsGoLine(QStringView piece) {
    qsizetype first = 0;
    qsizetype last = piece.size();
    while (first < last && piece[first] == u' ')
        ++first;
    while (last > first && piece[last - 1] == u' ')
        --last;
    return last - first == 2 && (piece[first] == u'G' || piece[first] == u'g') &&
           (piece[first + 1] == u'O' || piece[first + 1] == u'o');
}

namespace {

// Calls f with every piece of the text: the runs between line ends, where a
// CR and an LF each end one (the same as turning LF into CR and splitting at
// CR). An empty text has no pieces.
template <typename F> void ForEachPiece(QStringView text, F&& f) {
    if (text.isEmpty())
        return;
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        f(text.sliced(start, end - start));
        if (end == text.size())
            return;
        start = end + 1;
    }
}

// The number of GO lines, after the same overflow checks for every caller.
qsizetype CheckedGoLines(const QString& text) {
    const qsizetype pieces = text.isEmpty() ? 0 : text.count(u'\r') + text.count(u'\n') + 1;
    if (pieces > MaxBatchPieces)
        throw OverflowError();
    qsizetype goLines = 0;
    ForEachPiece(text, [&](QStringView piece) { goLines += IsGoLine(piece) ? 1 : 0; });
    if (goLines + 1 > MaxBatchPieces)
        throw OverflowError();
    return goLines;
}

} // namespace

QStringList SplitBatches(const QString& text) {
    const qsizetype goLines = CheckedGoLines(text);

    QStringList batches;
    batches.reserve(goLines + 1);
    QString current;
    ForEachPiece(text, [&](QStringView piece) {
        if (IsGoLine(piece)) {
            batches.append(std::exchange(current, QString()));
        } else {
            // Appending in place keeps a long script linear.
            current.append(piece);
            current.append(u'\r');
        }
    });
    batches.append(current);
    return batches;
}

std::vector<BatchPlace> SplitBatchPlaces(const QString& text) {
    const qsizetype goLines = CheckedGoLines(text);
    std::vector<BatchPlace> places;
    places.reserve(static_cast<std::size_t>(goLines) + 1);

    // The batch runs from its first piece to the end of its last: the same
    // pieces SplitBatches joins. A batch without pieces stands where the
    // next piece would have begun.
    qsizetype first = -1;
    qsizetype end = 0;
    int firstLine = 1;
    int line = 1;
    qsizetype at = 0; // where the piece now handled begins
    const auto place = [&](qsizetype emptyAt, int emptyLine) {
        return first >= 0 ? BatchPlace{first, end - first, firstLine}
                          : BatchPlace{emptyAt, 0, emptyLine};
    };
    ForEachPiece(text, [&](QStringView piece) {
        if (IsGoLine(piece)) {
            places.push_back(place(at, line));
            first = -1;
        } else {
            if (first < 0) {
                first = at;
                firstLine = line;
            }
            end = at + piece.size();
        }
        // The line end after the piece: a CR LF is one line break, so its LF
        // (already counted with the CR) starts no new line.
        const qsizetype breakAt = at + piece.size();
        if (breakAt < text.size()) {
            const bool lfOfCrLf =
                text[breakAt] == u'\n' && breakAt > 0 && text[breakAt - 1] == u'\r';
            if (!lfOfCrLf)
                ++line;
        }
        at = breakAt + 1;
    });
    places.push_back(place(text.size(), line));
    return places;
}

} // namespace brindle
