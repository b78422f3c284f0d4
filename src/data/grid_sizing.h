#pragma once

#include <QtCore/qnamespace.h>

class QTableView;

namespace brindle {

// headerData(column, Qt::Horizontal, GridWidestRowsRole) of a model that
// knows them: the rows (QList<int>) whose texts are the widest of that column
// in the whole result. Invalid for a column sized from a sample.
inline constexpr int GridWidestRowsRole = Qt::UserRole + 1;

// Rows of the grid are all as high as one line of its font, so a result of a
// million rows needs no per-row measuring.
void FitRowHeightToFont(QTableView& grid);

// Sizes each column for its header and its values; a column is never
// narrower than its header. A column whose model names its widest rows is as
// wide as they need, so that no number, date or time is cut short in any
// row. Any other column (text, binary) is sized for the first sampleRows rows
// only and is at most maxTextWidth pixels wide: a longer text is elided, and
// its tool tip shows it.
void FitColumns(QTableView& grid, int sampleRows, int maxTextWidth);

} // namespace brindle
