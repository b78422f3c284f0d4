#pragma once

#include "data/catalog.h"

#include <QAbstractItemModel>

#include <optional>
#include <vector>

namespace brindle::catalog {

// The catalog of one connection as a tree: groups (schemas, or catalogs
// where the driver has no schemas), their tables and views, and the columns
// of a table once they are loaded. Groups are left out when there is only
// one. A filter keeps the tables whose name (or group's name) holds it.
class CatalogTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Field { NameField, TypeField, SizeField, NullField, KeyField, FieldCount };

    explicit CatalogTreeModel(QObject* parent = nullptr);

    void SetTables(const NameRules& rules, std::vector<Table> tables);
    void Clear();
    // Fills a table's columns; nothing when the table is not in the model.
    void SetColumns(const Table& table, std::vector<Column> columns);
    // Case-insensitive; an empty filter shows everything.
    void SetFilter(const QString& filter);
    const QString& Filter() const { return m_filter; }

    const std::vector<Table>& Tables() const { return m_tables; }
    const NameRules& Rules() const { return m_rules; }
    // The loaded columns of a table; nothing when they are not loaded yet.
    const std::vector<Column>* ColumnsOf(const Table& table) const;
    bool Grouped() const { return m_grouped; }
    // Asks for a table's columns unless they are loaded or asked for.
    void RequestColumns(const Table& table);

    // What an item stands for.
    std::optional<Table> TableAt(const QModelIndex& index) const;
    std::optional<Column> ColumnAt(const QModelIndex& index) const;
    // The name to insert for a table or column item, quoted where needed.
    QString InsertText(const QModelIndex& index) const;
    // The index of a table's item (invalid when filtered out or absent).
    QModelIndex IndexOf(const Table& table) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // A table was opened whose columns are not loaded yet.
    void ColumnsWanted(const brindle::catalog::Table& table);

private:
    struct Group {
        QString name;
        std::vector<int> tables; // all of the group's tables
        std::vector<int> shown;  // those the filter keeps
    };
    struct TableState {
        std::optional<std::vector<Column>> columns;
        bool requested = false;
        int group = 0;
        int row = -1; // row among the group's shown tables
    };
    enum Level : quintptr { TopLevel = 0, InGroup = 1, InTable = 2 };

    void Rebuild();
    int TableIndexOf(const Table& table) const;
    int TableOfItem(const QModelIndex& index) const; // -1 when not a table item
    QModelIndex TableIndex(int table, int column) const;

    NameRules m_rules;
    std::vector<Table> m_tables;
    std::vector<TableState> m_state;
    std::vector<Group> m_groups;
    std::vector<int> m_shownGroups; // group indexes the filter keeps
    bool m_grouped = false;
    QString m_filter;
};

} // namespace brindle::catalog
