#pragma once

#include "store/query_history.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace brindle::store {

// Where the history's entries come from: the store, or a test's own.
class HistorySource {
public:
    virtual ~HistorySource() = default;
    // As HistoryReader::List without texts.
    virtual std::vector<HistoryEntry> List(const HistoryFilter& filter, int limit,
                                           qint64 beforeId) = 0;
    virtual std::optional<QString> Text(qint64 id) = 0;
    virtual QStringList DataSources() = 0;
    virtual void Delete(const std::vector<qint64>& ids) = 0;
    virtual void Clear() = 0;
};

// The history's list, newest first: one page read when the filter changes,
// the next ones as the view scrolls to them, so that a keystroke in the
// filter costs one page whatever the history holds.
class HistoryListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        TimeColumn,
        DataSourceColumn,
        DurationColumn,
        RowsColumn,
        OutcomeColumn,
        FirstLineColumn,
        ColumnCount
    };
    static constexpr int PageSize = 200;

    explicit HistoryListModel(HistorySource& source, QObject* parent = nullptr);

    // Lists afresh with `filter`. Throws Error when the source fails (the
    // list is then empty).
    void SetFilter(const HistoryFilter& filter);
    const HistoryFilter& Filter() const { return m_filter; }
    const HistoryEntry& Entry(int row) const { return m_entries.at(static_cast<size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    // A source that fails here ends the list where it is.
    void fetchMore(const QModelIndex& parent) override;

private:
    HistorySource& m_source;
    HistoryFilter m_filter;
    std::vector<HistoryEntry> m_entries;
    bool m_more = false;
};

// How the list shows an entry's fields.
QString HistoryTimeText(const QDateTime& started);
QString HistoryDurationText(qint64 ms);
QString HistoryRowsText(const HistoryEntry& entry);
QString HistoryOutcomeText(HistoryOutcome outcome);

} // namespace brindle::store
