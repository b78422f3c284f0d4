#include "data/grid_sizing.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QList>
#include <QTableView>
#include <QVariant>

#include <algorithm>

namespace brindle {

namespace {

// The grid line and a little air.
constexpr int Air = 8;

int WidestCell(const QTableView& grid, int column, const QList<int>& rows) {
    const QAbstractItemModel& model = *grid.model();
    int width = 0;
    for (const int row : rows) {
        if (row >= 0 && row < model.rowCount())
            width = std::max(width, grid.sizeHintForIndex(model.index(row, column)).width());
    }
    return width;
}

} // namespace

void FitRowHeightToFont(QTableView& grid) {
    QHeaderView* rows = grid.verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int height = grid.fontMetrics().height() + 4;
    rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), height));
    rows->setDefaultSectionSize(height);
}

void FitColumns(QTableView& grid, int sampleRows, int maxTextWidth) {
    const QAbstractItemModel* model = grid.model();
    if (!model)
        return;
    QHeaderView* header = grid.horizontalHeader();
    QList<int> sample;
    for (int row = 0; row < std::min(model->rowCount(), sampleRows); ++row)
        sample.append(row);
    const int columns = model->columnCount();
    for (int column = 0; column < columns; ++column) {
        const int headerWidth = header->sectionSizeHint(column);
        const QVariant widest = model->headerData(column, Qt::Horizontal, GridWidestRowsRole);
        const QList<int> rows = widest.isValid() ? widest.value<QList<int>>() : sample;
        int width = std::max(headerWidth, WidestCell(grid, column, rows)) + Air;
        if (!widest.isValid())
            width = std::min(width, std::max(maxTextWidth, headerWidth));
        header->resizeSection(column, width);
    }
}

} // namespace brindle
