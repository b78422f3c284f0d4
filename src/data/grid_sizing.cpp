#include "data/grid_sizing.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace brindle {

void FitRowHeightToFont(QTableView& grid) {
    QHeaderView* rows = grid.verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int height = grid.fontMetrics().height() + 4;
    rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), height));
    rows->setDefaultSectionSize(height);
}

void FitColumnsToSample(QTableView& grid, int sampleRows, int maxWidth) {
    const QAbstractItemModel* model = grid.model();
    if (!model)
        return;
    QHeaderView* header = grid.horizontalHeader();
    const int rows = std::min(model->rowCount(), sampleRows);
    const int columns = model->columnCount();
    for (int column = 0; column < columns; ++column) {
        const int headerWidth = header->sectionSizeHint(column);
        int width = headerWidth;
        for (int row = 0; row < rows; ++row)
            width = std::max(width, grid.sizeHintForIndex(model->index(row, column)).width());
        // The grid line and a little air.
        width = std::min(width + 8, std::max(maxWidth, headerWidth));
        header->resizeSection(column, width);
    }
}

} // namespace brindle
