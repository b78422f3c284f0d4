#pragma once

#include <QtGlobal>

#include <vector>

namespace brindle {

namespace odbc {
class ColumnValues;
} // namespace odbc

// The rows of a column whose grid texts (GridCellText) are the longest of the
// whole column, found from the stored values without writing a text per row:
// integers, dates, times and timestamps at their extremes (with milliseconds
// counted apart), floating numbers by the digits of their shortest form,
// decimals by the length of their digits. A column holding NULL adds its
// first NULL row, whose "(NULL)" is drawn in another font.
//
// The grid measures only these rows, so a column is as wide as its widest
// value in a million rows. A few rows of nearly the longest length are given
// besides, with different characters, since a character such as "+" or "-"
// can be wider or narrower than a digit. Text and binary columns give none:
// their width comes from a sample of rows.
std::vector<qsizetype> GridWidestRows(const odbc::ColumnValues& values);

} // namespace brindle
