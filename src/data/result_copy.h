#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace brindle {

class Recordset;

// The cells a grid has selected: every listed column of every listed row.
struct CellBlock {
    // Rows from 0 as [first, last] ranges, ascending, not overlapping.
    std::vector<std::pair<qsizetype, qsizetype>> rows;
    std::vector<int> columns; // ascending
};

// The cells as tab-separated text for the clipboard, as spreadsheets paste
// it: one line per row ending in CR LF, values whole (written back edits
// included), NULL an empty field; a value holding a tab, a line break or a
// double quote is quoted with its quotes doubled. With `names`, the columns'
// names come first.
QString CopyCellsText(const Recordset& rs, const CellBlock& cells, bool names);

} // namespace brindle
