#include "data/split_batches.h"

#include "core/error.h"

#include <QStringView>

#include <utility>

namespace brindle {

namespace {

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

} // namespace

QStringList SplitBatches(const QString& text) {
    const qsizetype pieces = text.isEmpty() ? 0 : text.count(u'\r') + text.count(u'\n') + 1;
    if (pieces > MaxBatchPieces)
        throw OverflowError();
    qsizetype goLines = 0;
    ForEachPiece(text, [&](QStringView piece) { goLines += IsGoLine(piece) ? 1 : 0; });
    if (goLines + 1 > MaxBatchPieces)
        throw OverflowError();

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

} // namespace brindle
