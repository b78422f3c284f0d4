#pragma once

#include "data/catalog.h"

#include <QDockWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QMenu;
class QTreeView;

namespace brindle::catalog {

class CatalogLoader;
class CatalogTreeModel;

// The "オブジェクト" pane: the connected data source's tables, views and
// columns, a filter over them, and the names put into the query at hand.
class CatalogPane : public QDockWidget {
    Q_OBJECT
public:
    CatalogPane(CatalogLoader& loader, CatalogTreeModel& model, QWidget* parent = nullptr);

    // Loads the catalog of the connection anew (connect, reconnect,
    // refresh); a null connection string empties the pane.
    void ShowConnection(const QString& connectionString);
    void Refresh();

    QLineEdit* filterBox() const { return m_filter; }
    QTreeView* tree() const { return m_tree; }
    QLabel* messageLine() const { return m_message; }
    // The context menu of an item, as the right button shows it.
    std::unique_ptr<QMenu> ContextMenu(const QModelIndex& index);

signals:
    // A name (or column list) for the caret of the active document.
    void InsertRequested(const QString& text);
    // A statement for a new document, written and not run.
    void NewQueryRequested(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTablesLoaded(quint64 generation, const NameRules& rules,
                        const std::vector<Table>& tables);
    void OnColumnsLoaded(quint64 generation, const Table& table,
                         const std::vector<Column>& columns);
    void OnFailed(quint64 generation, const Table& table, const QString& message);
    void Activate(const QModelIndex& index);
    void OpenGroups();
    void InsertColumnList(const Table& table);
    QString ColumnList(const std::vector<Column>& columns) const;

    CatalogLoader& m_loader;
    CatalogTreeModel& m_model;
    QLineEdit* m_filter;
    QTreeView* m_tree;
    QLabel* m_message;
    QString m_connectionString; // in memory only, for a refresh
    std::optional<Table> m_columnListWanted;
};

} // namespace brindle::catalog
