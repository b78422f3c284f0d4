#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace brindle {

// The most pieces (lines between carriage returns and line feeds) a query
// text may have, and the most batches: positions are counted in 16 bits.
inline constexpr qsizetype MaxBatchPieces = 32767;

// True for a line (no line end in it) that separates batches: the word GO in
// any letter case, with only code-32 spaces around it.
bool IsGoLine(QStringView line);

// Cuts a query text into batches at lines that hold only the word GO (any
// letter case, code-32 spaces around it allowed). Every line feed first
// becomes a carriage return, so CR LF yields an empty line; each line that
// goes into a batch ends in one carriage return. There is always at least one
// batch: n GO lines give n + 1, some possibly empty. A text of more than
// MaxBatchPieces pieces, or one that would give more batches than that, fails
// with the overflow Error before anything is cut.
QStringList SplitBatches(const QString& text);

// Where a batch stands in the text it was cut from: for the message list's
// line number and for selecting the batch again in the editor.
struct BatchPlace {
    qsizetype start = 0;  // UTF-16 offset in the text
    qsizetype length = 0; // UTF-16 units, its GO line not included
    int line = 1;         // the line (from 1) it starts on
};

// The places of the batches SplitBatches cuts from the same text, one each,
// in the same order; the same overflow Error. A place spans the very text its
// batch was made of: with LF turned into CR it is the batch without its last
// CR. So where lines end in CR LF, the CR before a GO line ends its batch and
// the LF after one begins the next. A CR LF, a CR and an LF each end a line.
std::vector<BatchPlace> SplitBatchPlaces(const QString& text);

} // namespace brindle
