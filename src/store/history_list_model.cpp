#include "store/history_list_model.h"

#include "core/error.h"

#include <QLocale>

namespace brindle::store {

QString HistoryTimeText(const QDateTime& started) {
    return started.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString HistoryDurationText(qint64 ms) {
    if (ms < 1000)
        return QStringLiteral("%1 ms").arg(ms);
    return QStringLiteral("%1 秒").arg(static_cast<double>(ms) / 1000.0, 0, 'f', 2);
}

QString HistoryRowsText(const HistoryEntry& entry) {
    if (entry.rows < 0 || entry.outcome != HistoryOutcome::Completed)
        return {};
    const QString count = QLocale::c().toString(entry.rows);
    return entry.rowsChanged ? QStringLiteral("%1 行更新").arg(count)
                             : QStringLiteral("%1 行").arg(count);
}

QString HistoryOutcomeText(HistoryOutcome outcome) {
    switch (outcome) {
    case HistoryOutcome::Completed:
        return QStringLiteral("完了");
    case HistoryOutcome::Failed:
        return QStringLiteral("エラー");
    case HistoryOutcome::Cancelled:
        return QStringLiteral("キャンセル");
    }
    return {};
}

HistoryListModel::HistoryListModel(HistorySource& source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source) {}

void HistoryListModel::SetFilter(const HistoryFilter& filter) {
    beginResetModel();
    m_filter = filter;
    m_entries.clear();
    m_more = false;
    try {
        m_entries = m_source.List(m_filter, PageSize, 0);
        m_more = m_entries.size() == static_cast<size_t>(PageSize);
    } catch (const Error&) {
        endResetModel();
        throw;
    }
    endResetModel();
}

int HistoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int HistoryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HistoryEntry& entry = Entry(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case TimeColumn:
            return HistoryTimeText(entry.started);
        case DataSourceColumn:
            return entry.dsn;
        case DurationColumn:
            return HistoryDurationText(entry.durationMs);
        case RowsColumn:
            return HistoryRowsText(entry);
        case OutcomeColumn:
            return HistoryOutcomeText(entry.outcome);
        case FirstLineColumn:
            return entry.firstLine;
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole) {
        if (index.column() == OutcomeColumn && !entry.error.isEmpty())
            return entry.error;
        if (index.column() == DataSourceColumn && !entry.login.isEmpty())
            return QStringLiteral("%1 (%2)").arg(entry.dsn, entry.login);
        if (index.column() == FirstLineColumn)
            return entry.caption;
        return {};
    }
    if (role == Qt::TextAlignmentRole &&
        (index.column() == DurationColumn || index.column() == RowsColumn))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant HistoryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TimeColumn:
        return QStringLiteral("日時");
    case DataSourceColumn:
        return QStringLiteral("データ ソース");
    case DurationColumn:
        return QStringLiteral("時間");
    case RowsColumn:
        return QStringLiteral("行数");
    case OutcomeColumn:
        return QStringLiteral("結果");
    case FirstLineColumn:
        return QStringLiteral("最初の行");
    default:
        return {};
    }
}

bool HistoryListModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_more;
}

void HistoryListModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !m_more || m_entries.empty())
        return;
    std::vector<HistoryEntry> page;
    try {
        page = m_source.List(m_filter, PageSize, m_entries.back().id);
    } catch (const Error&) {
        m_more = false;
        return;
    }
    m_more = page.size() == static_cast<size_t>(PageSize);
    if (page.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    for (HistoryEntry& entry : page)
        m_entries.push_back(std::move(entry));
    endInsertRows();
}

} // namespace brindle::store
