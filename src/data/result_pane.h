#pragma once

#include "data/run_results.h"

#include <QWidget>

#include <memory>

class QStackedWidget;
class QTabBar;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace brindle {

class Recordset;
class RecordsetModel;

// The result pane of a document: a tab strip over the grid, one tab per
// result of the last run ("結果 1", "結果 2", ...) and one for its messages.
// The tab of the document's own result set shows its grid, the one that
// takes edits; every other result shows read-only in a grid of the same
// look. Before any run, and after a run without results, the one tab "結果"
// shows the document's grid.
class ResultPane : public QWidget {
    Q_OBJECT
public:
    // `grid` is the document's grid, bound to `recordSet`; the pane takes it
    // into its stack.
    ResultPane(QTableView* grid, Recordset& recordSet, QWidget* parent = nullptr);
    ~ResultPane() override;

    // Shows the run: its results as tabs, its messages listed, and the tab of
    // the document's result set selected (the messages when the run failed
    // or gave no result). `recordSetOpen`: the document's result set holds
    // the run's last result (a run ending in an empty batch closes it).
    void ShowRun(const RunResults& run, bool recordSetOpen);

    // The result set of the tab shown and its grid; the document's own while
    // the messages are shown.
    Recordset& ShownRecordSet();
    QTableView* ShownGrid() const;
    // Shows the current record of the shown read-only result selected.
    void SyncShownGrid();

    QTabBar* tabResults() const { return m_tabs; }
    QTableView* grdResult() const { return m_grdResult; }
    QTreeWidget* lstMessages() const { return m_lstMessages; }
    // The tab of the messages; the last one.
    int MessageTab() const;

signals:
    // A line of the message list was double-clicked: its batch (from 1).
    void BatchActivated(int batch);
    // The shown result's context menu asked to save it.
    void SaveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TabChanged(int index);
    void FillMessages(const RunResults& run);
    void CopySelection(QTableView& grid, bool names);
    void ShowGridMenu(QTableView& grid, const QPoint& at);
    void SharedRowPicked(int row);

    QTableView* m_grid;
    Recordset& m_recordSet;
    QTabBar* m_tabs;
    QStackedWidget* m_stack;
    QTableView* m_grdResult;
    RecordsetModel* m_resultModel;
    std::unique_ptr<Recordset> m_shown; // a kept result, read-only
    QTreeWidget* m_lstMessages;
    // The run's results, one per tab before the messages; the table of the
    // document's result set is at m_recordSetTab.
    std::vector<RunResults::Result> m_results;
    int m_recordSetTab = 0;
    bool m_syncing = false;
};

} // namespace brindle
