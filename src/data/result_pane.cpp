#include "data/result_pane.h"

#include "core/error.h"
#include "data/grid_cell_delegate.h"
#include "data/grid_sizing.h"
#include "data/recordset.h"
#include "data/recordset_model.h"
#include "data/result_copy.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace brindle {

namespace {

enum MessageColumn { BatchColumn, LineColumn, TextColumn, TimeColumn };

// The selected cells as rows and columns; a selection of whole rows takes
// every column.
CellBlock SelectedCells(const QTableView& grid) {
    CellBlock block;
    const QItemSelectionModel* selection = grid.selectionModel();
    if (!selection || !grid.model())
        return block;
    std::vector<std::pair<qsizetype, qsizetype>> rows;
    std::set<int> columns;
    for (const QItemSelectionRange& range : selection->selection()) {
        rows.emplace_back(range.top(), range.bottom());
        for (int column = range.left(); column <= range.right(); ++column)
            columns.insert(column);
    }
    // The current cell alone when nothing is selected.
    if (rows.empty() && selection->currentIndex().isValid()) {
        rows.emplace_back(selection->currentIndex().row(), selection->currentIndex().row());
        columns.insert(selection->currentIndex().column());
    }
    std::sort(rows.begin(), rows.end());
    for (const auto& range : rows) {
        if (!block.rows.empty() && range.first <= block.rows.back().second + 1)
            block.rows.back().second = std::max(block.rows.back().second, range.second);
        else
            block.rows.push_back(range);
    }
    block.columns.assign(columns.begin(), columns.end());
    return block;
}

} // namespace

ResultPane::ResultPane(QTableView* grid, Recordset& recordSet, QWidget* parent)
    : QWidget(parent), m_grid(grid), m_recordSet(recordSet), m_tabs(new QTabBar(this)),
      m_stack(new QStackedWidget(this)), m_grdResult(new QTableView(this)),
      m_resultModel(new RecordsetModel(this)), m_shown(std::make_unique<Recordset>()),
      m_lstMessages(new QTreeWidget(this)) {
    m_tabs->setObjectName(QStringLiteral("tabResults"));
    m_grdResult->setObjectName(QStringLiteral("grdResult"));
    m_lstMessages->setObjectName(QStringLiteral("lstMessages"));
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideNone);

    // The read-only grid looks as the document's grid does, and any block of
    // its cells can be chosen for copying.
    FitRowHeightToFont(*m_grdResult);
    m_grdResult->setModel(m_resultModel);
    m_grdResult->setItemDelegate(new GridCellDelegate(m_grdResult));
    m_grdResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdResult->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grdResult->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_grdResult->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    SharedRowPicked(current.row());
            });

    m_lstMessages->setColumnCount(4);
    m_lstMessages->setHeaderLabels({QStringLiteral("バッチ"), QStringLiteral("行"),
                                    QStringLiteral("内容"), QStringLiteral("時間")});
    m_lstMessages->setRootIsDecorated(false);
    m_lstMessages->setUniformRowHeights(true);
    m_lstMessages->setWordWrap(false);
    m_lstMessages->header()->setStretchLastSection(false);
    m_lstMessages->header()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    connect(m_lstMessages, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const int batch = item->data(BatchColumn, Qt::UserRole).toInt();
        if (batch > 0)
            emit BatchActivated(batch);
    });

    m_grid->setParent(nullptr);
    m_stack->addWidget(m_grid);
    m_stack->addWidget(m_grdResult);
    m_stack->addWidget(m_lstMessages);
    for (QTableView* view : {m_grid, m_grdResult}) {
        view->installEventFilter(this);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            ShowGridMenu(*view, view->viewport()->mapToGlobal(at));
        });
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);

    m_tabs->addTab(QStringLiteral("結果"));
    m_tabs->addTab(QStringLiteral("メッセージ"));
    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) { TabChanged(index); });
}

ResultPane::~ResultPane() {
    m_resultModel->Bind(nullptr);
}

int ResultPane::MessageTab() const {
    return m_tabs->count() - 1;
}

void ResultPane::ShowRun(const RunResults& run, bool recordSetOpen) {
    m_results = run.Results();
    const int recordSetResult = recordSetOpen ? run.RecordSetResult() : -1;
    {
        // The tabs are rebuilt without showing each on the way.
        const QSignalBlocker quiet(m_tabs);
        while (m_tabs->count() > 0)
            m_tabs->removeTab(0);
        if (m_results.empty()) {
            m_tabs->addTab(QStringLiteral("結果"));
        } else {
            for (std::size_t i = 0; i < m_results.size(); ++i)
                m_tabs->addTab(QStringLiteral("結果 %1").arg(i + 1));
        }
        m_tabs->addTab(QStringLiteral("メッセージ"));
    }
    // Without the document's result among them, its grid is the first tab
    // only when there are no results at all.
    m_recordSetTab = m_results.empty() ? 0 : recordSetResult;
    FillMessages(run);
    const bool failed =
        !run.Batches().empty() && run.Batches().back().outcome != BatchReport::Outcome::Completed;
    const int shown = failed || recordSetResult < 0 ? MessageTab() : recordSetResult;
    m_tabs->setCurrentIndex(shown);
    TabChanged(shown);
}

void ResultPane::TabChanged(int index) {
    if (index < 0)
        return;
    if (index == MessageTab()) {
        m_stack->setCurrentWidget(m_lstMessages);
        return;
    }
    if (index == m_recordSetTab || index >= static_cast<int>(m_results.size())) {
        m_stack->setCurrentWidget(m_grid);
        return;
    }
    m_resultModel->Bind(nullptr);
    if (m_shown->State() != 0)
        m_shown->Close();
    try {
        m_shown->Show(m_results[static_cast<std::size_t>(index)].table);
    } catch (const Error&) {
    }
    m_resultModel->Bind(m_shown.get());
    FitColumns(*m_grdResult, 100, m_grdResult->fontMetrics().averageCharWidth() * 40);
    m_stack->setCurrentWidget(m_grdResult);
    SyncShownGrid();
}

Recordset& ResultPane::ShownRecordSet() {
    return m_stack->currentWidget() == m_grdResult ? *m_shown : m_recordSet;
}

QTableView* ResultPane::ShownGrid() const {
    return m_stack->currentWidget() == m_grdResult ? m_grdResult : m_grid;
}

void ResultPane::SyncShownGrid() {
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    QItemSelectionModel* selection = m_grdResult->selectionModel();
    qsizetype row = -1;
    if (m_shown->State() != 0)
        row = m_shown->AbsolutePosition() - 1;
    const int columns = m_resultModel->columnCount();
    if (row < 0 || row >= m_resultModel->rowCount() || columns == 0) {
        selection->clearSelection();
        return;
    }
    const int column = std::clamp(selection->currentIndex().column(), 0, columns - 1);
    const QModelIndex current = m_resultModel->index(static_cast<int>(row), column);
    selection->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    m_grdResult->scrollTo(current);
}

void ResultPane::SharedRowPicked(int row) {
    if (m_syncing || m_shown->State() == 0)
        return;
    try {
        m_shown->MoveTo(row);
    } catch (const Error&) {
    }
}

void ResultPane::FillMessages(const RunResults& run) {
    m_lstMessages->clear();
    QList<QTreeWidgetItem*> items;
    for (const RunMessage& message : run.Messages()) {
        auto* item = new QTreeWidgetItem;
        if (message.kind != RunMessage::Kind::Totals) {
            item->setText(BatchColumn, QString::number(message.batch));
            item->setText(LineColumn, QString::number(message.line));
            item->setData(BatchColumn, Qt::UserRole, message.batch);
            item->setTextAlignment(BatchColumn, Qt::AlignRight | Qt::AlignVCenter);
            item->setTextAlignment(LineColumn, Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setText(TextColumn, message.text);
        item->setToolTip(TextColumn, message.text);
        if (message.ms >= 0) {
            item->setText(TimeColumn, SecondsText(message.ms));
            item->setTextAlignment(TimeColumn, Qt::AlignRight | Qt::AlignVCenter);
        }
        if (message.kind == RunMessage::Kind::Error)
            item->setForeground(TextColumn, QColor(192, 0, 0));
        if (message.kind == RunMessage::Kind::Totals) {
            QFont bold = item->font(TextColumn);
            bold.setBold(true);
            item->setFont(TextColumn, bold);
        }
        items.append(item);
    }
    m_lstMessages->addTopLevelItems(items);
    // Room around the numbers, so that they do not run into the text.
    const int padding = m_lstMessages->fontMetrics().averageCharWidth() * 2;
    for (int column : {BatchColumn, LineColumn, TimeColumn}) {
        m_lstMessages->resizeColumnToContents(column);
        m_lstMessages->setColumnWidth(column, m_lstMessages->columnWidth(column) + padding);
    }
}

void ResultPane::CopySelection(QTableView& grid, bool names) {
    const auto* model = qobject_cast<const RecordsetModel*>(grid.model());
    if (!model || !model->Bound() || model->Bound()->State() == 0)
        return;
    const CellBlock cells = SelectedCells(grid);
    if (cells.rows.empty() || cells.columns.empty())
        return;
    try {
        QApplication::clipboard()->setText(CopyCellsText(*model->Bound(), cells, names));
    } catch (const Error&) {
    } catch (const std::bad_alloc&) {
    }
}

void ResultPane::ShowGridMenu(QTableView& grid, const QPoint& at) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("コピー(&C)"));
    copy->setShortcut(QKeySequence::Copy);
    QAction* copyNames = menu.addAction(QStringLiteral("列名も含めてコピー(&H)"));
    QAction* all = menu.addAction(QStringLiteral("すべてのセルを選択(&A)"));
    menu.addSeparator();
    QAction* save = menu.addAction(QStringLiteral("結果を保存(&V)..."));
    const auto* model = qobject_cast<const RecordsetModel*>(grid.model());
    const bool open = model && model->Bound() && model->Bound()->State() != 0;
    copy->setEnabled(open);
    copyNames->setEnabled(open);
    all->setEnabled(open);
    save->setEnabled(open);
    QAction* chosen = menu.exec(at);
    if (chosen == copy)
        CopySelection(grid, false);
    else if (chosen == copyNames)
        CopySelection(grid, true);
    else if (chosen == all)
        grid.selectAll();
    else if (chosen == save)
        emit SaveRequested();
}

bool ResultPane::eventFilter(QObject* watched, QEvent* event) {
    auto* grid = qobject_cast<QTableView*>(watched);
    if (grid && (grid == m_grid || grid == m_grdResult)) {
        if (event->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
            // Ctrl+C in a grid is the grid's own, whatever the window binds.
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
            !grid->indexWidget(grid->currentIndex())) {
            CopySelection(*grid, false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace brindle
