#pragma once

class QTableView;

namespace brindle {

// Rows of the grid are all as high as one line of its font, so a result of a
// million rows needs no per-row measuring.
void FitRowHeightToFont(QTableView& grid);

// Sizes each column for its header and the first sampleRows rows, never for
// the whole result; a column is never narrower than its header nor wider than
// maxWidth pixels.
void FitColumnsToSample(QTableView& grid, int sampleRows, int maxWidth);

} // namespace brindle
