#include "data/catalog_tree_model.h"

#include "data/identifier_quoting.h"

#include <algorithm>

namespace brindle::catalog {

namespace {

constexpr int kLevelShift = sizeof(quintptr) * 8 - 2;
constexpr quintptr kPayloadMask = (quintptr(1) << kLevelShift) - 1;

quintptr Id(quintptr level, quintptr payload) {
    return (level << kLevelShift) | payload;
}

bool Contains(const QString& text, const QString& filter) {
    return filter.isEmpty() || text.contains(filter, Qt::CaseInsensitive);
}

QString NullText(int nullable) {
    switch (nullable) {
    case 0:
        return QStringLiteral("NOT NULL");
    case 1:
        return QStringLiteral("NULL");
    default:
        return {};
    }
}

QString KindText(const Table& table) {
    if (table.isView())
        return QStringLiteral("ビュー");
    if (table.kind.compare(u"TABLE", Qt::CaseInsensitive) == 0)
        return QStringLiteral("テーブル");
    return table.kind;
}

} // namespace

CatalogTreeModel::CatalogTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CatalogTreeModel::SetTables(const NameRules& rules, std::vector<Table> tables) {
    beginResetModel();
    m_rules = rules;
    m_tables = std::move(tables);
    std::stable_sort(m_tables.begin(), m_tables.end(), [](const Table& a, const Table& b) {
        const int byGroup = QString::compare(a.group(), b.group(), Qt::CaseInsensitive);
        if (byGroup != 0)
            return byGroup < 0;
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    m_state.assign(m_tables.size(), {});
    m_groups.clear();
    for (int t = 0; t < int(m_tables.size()); ++t) {
        if (m_groups.empty() || m_groups.back().name != m_tables[std::size_t(t)].group())
            m_groups.push_back({m_tables[std::size_t(t)].group(), {}, {}});
        m_groups.back().tables.push_back(t);
        m_state[std::size_t(t)].group = int(m_groups.size()) - 1;
    }
    m_grouped = m_groups.size() > 1;
    Rebuild();
    endResetModel();
}

void CatalogTreeModel::Clear() {
    SetTables({}, {});
}

void CatalogTreeModel::SetColumns(const Table& table, std::vector<Column> columns) {
    const int t = TableIndexOf(table);
    if (t < 0)
        return;
    TableState& state = m_state[std::size_t(t)];
    const QModelIndex item = TableIndex(t, 0);
    if (state.columns && !state.columns->empty() && item.isValid()) {
        beginRemoveRows(item, 0, int(state.columns->size()) - 1);
        state.columns.reset();
        endRemoveRows();
    }
    state.requested = true;
    if (!item.isValid() || columns.empty()) {
        state.columns = std::move(columns);
        return;
    }
    beginInsertRows(item, 0, int(columns.size()) - 1);
    state.columns = std::move(columns);
    endInsertRows();
}

void CatalogTreeModel::SetFilter(const QString& filter) {
    if (filter == m_filter)
        return;
    beginResetModel();
    m_filter = filter;
    Rebuild();
    endResetModel();
}

void CatalogTreeModel::Rebuild() {
    m_shownGroups.clear();
    for (int g = 0; g < int(m_groups.size()); ++g) {
        Group& group = m_groups[std::size_t(g)];
        group.shown.clear();
        const bool wholeGroup = m_grouped && !m_filter.isEmpty() && Contains(group.name, m_filter);
        for (const int t : group.tables) {
            TableState& state = m_state[std::size_t(t)];
            state.row = -1;
            if (wholeGroup || Contains(m_tables[std::size_t(t)].name, m_filter)) {
                state.row = int(group.shown.size());
                group.shown.push_back(t);
            }
        }
        if (!group.shown.empty() || (m_filter.isEmpty() && m_grouped))
            m_shownGroups.push_back(g);
    }
}

const std::vector<Column>* CatalogTreeModel::ColumnsOf(const Table& table) const {
    const int t = TableIndexOf(table);
    if (t < 0 || !m_state[std::size_t(t)].columns)
        return nullptr;
    return &*m_state[std::size_t(t)].columns;
}

int CatalogTreeModel::TableIndexOf(const Table& table) const {
    // Tables are sorted by group, then name, case-insensitively.
    const auto less = [](const Table& a, const Table& b) {
        const int byGroup = QString::compare(a.group(), b.group(), Qt::CaseInsensitive);
        if (byGroup != 0)
            return byGroup < 0;
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    };
    auto it = std::lower_bound(m_tables.begin(), m_tables.end(), table, less);
    for (; it != m_tables.end() && !less(table, *it); ++it) {
        if (*it == table)
            return int(it - m_tables.begin());
    }
    return -1;
}

int CatalogTreeModel::TableOfItem(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return -1;
    const quintptr level = index.internalId() >> kLevelShift;
    if (m_grouped && level == InGroup) {
        const Group& group = m_groups[index.internalId() & kPayloadMask];
        return group.shown[std::size_t(index.row())];
    }
    if (!m_grouped && level == TopLevel && !m_groups.empty())
        return m_groups.front().shown[std::size_t(index.row())];
    return -1;
}

QModelIndex CatalogTreeModel::TableIndex(int table, int column) const {
    if (table < 0)
        return {};
    const TableState& state = m_state[std::size_t(table)];
    if (state.row < 0)
        return {};
    return createIndex(state.row, column,
                       m_grouped ? Id(InGroup, quintptr(state.group)) : Id(TopLevel, 0));
}

std::optional<Table> CatalogTreeModel::TableAt(const QModelIndex& index) const {
    const int t = TableOfItem(index);
    if (t < 0)
        return std::nullopt;
    return m_tables[std::size_t(t)];
}

std::optional<Column> CatalogTreeModel::ColumnAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || (index.internalId() >> kLevelShift) != InTable)
        return std::nullopt;
    const TableState& state = m_state[index.internalId() & kPayloadMask];
    return (*state.columns)[std::size_t(index.row())];
}

QString CatalogTreeModel::InsertText(const QModelIndex& index) const {
    if (const std::optional<Table> table = TableAt(index))
        return QualifiedName(*table, m_rules, m_grouped);
    if (const std::optional<Column> column = ColumnAt(index))
        return QuotedName(column->name, m_rules);
    return {};
}

QModelIndex CatalogTreeModel::IndexOf(const Table& table) const {
    return TableIndex(TableIndexOf(table), 0);
}

QModelIndex CatalogTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= FieldCount || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, Id(TopLevel, 0));
    if (m_grouped && (parent.internalId() >> kLevelShift) == TopLevel)
        return createIndex(row, column,
                           Id(InGroup, quintptr(m_shownGroups[std::size_t(parent.row())])));
    const int t = TableOfItem(parent);
    return t < 0 ? QModelIndex() : createIndex(row, column, Id(InTable, quintptr(t)));
}

QModelIndex CatalogTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    const quintptr level = child.internalId() >> kLevelShift;
    const quintptr payload = child.internalId() & kPayloadMask;
    if (level == InGroup) {
        const auto at = std::find(m_shownGroups.begin(), m_shownGroups.end(), int(payload));
        return createIndex(int(at - m_shownGroups.begin()), 0, Id(TopLevel, 0));
    }
    if (level == InTable)
        return TableIndex(int(payload), 0);
    return {};
}

int CatalogTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    if (!parent.isValid()) {
        if (m_grouped)
            return int(m_shownGroups.size());
        return m_groups.empty() ? 0 : int(m_groups.front().shown.size());
    }
    if (m_grouped && (parent.internalId() >> kLevelShift) == TopLevel)
        return int(m_groups[std::size_t(m_shownGroups[std::size_t(parent.row())])].shown.size());
    const int t = TableOfItem(parent);
    if (t < 0 || !m_state[std::size_t(t)].columns)
        return 0;
    return int(m_state[std::size_t(t)].columns->size());
}

int CatalogTreeModel::columnCount(const QModelIndex&) const {
    return FieldCount;
}

bool CatalogTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid() || (m_grouped && (parent.internalId() >> kLevelShift) == TopLevel))
        return rowCount(parent) > 0;
    const int t = TableOfItem(parent);
    if (t < 0 || parent.column() != 0)
        return false;
    // A table not opened yet may have columns.
    const TableState& state = m_state[std::size_t(t)];
    return !state.columns || !state.columns->empty();
}

void CatalogTreeModel::RequestColumns(const Table& table) {
    const int t = TableIndexOf(table);
    if (t < 0 || m_state[std::size_t(t)].requested)
        return;
    m_state[std::size_t(t)].requested = true;
    emit ColumnsWanted(m_tables[std::size_t(t)]);
}

bool CatalogTreeModel::canFetchMore(const QModelIndex& parent) const {
    const int t = TableOfItem(parent);
    return t >= 0 && !m_state[std::size_t(t)].columns && !m_state[std::size_t(t)].requested;
}

void CatalogTreeModel::fetchMore(const QModelIndex& parent) {
    const int t = TableOfItem(parent);
    if (t < 0 || m_state[std::size_t(t)].requested)
        return;
    m_state[std::size_t(t)].requested = true;
    emit ColumnsWanted(m_tables[std::size_t(t)]);
}

QVariant CatalogTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const quintptr level = index.internalId() >> kLevelShift;
    if (m_grouped && level == TopLevel) {
        if (index.column() != NameField)
            return {};
        return m_groups[std::size_t(m_shownGroups[std::size_t(index.row())])].name;
    }
    if (const std::optional<Table> table = TableAt(index)) {
        switch (index.column()) {
        case NameField:
            return table->name;
        case TypeField:
            return KindText(*table);
        default:
            return {};
        }
    }
    const std::optional<Column> column = ColumnAt(index);
    if (!column)
        return {};
    switch (index.column()) {
    case NameField:
        return column->name;
    case TypeField:
        return column->typeName;
    case SizeField:
        return column->size >= 0 ? QVariant(column->size) : QVariant();
    case NullField:
        return NullText(column->nullable);
    case KeyField:
        return column->key ? QStringLiteral("PK") : QString();
    default:
        return {};
    }
}

QVariant CatalogTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t* const kNames[] = {u"名前", u"型", u"サイズ", u"NULL", u"キー"};
    if (section < 0 || section >= FieldCount)
        return {};
    return QString::fromUtf16(kNames[section]);
}

} // namespace brindle::catalog
