#include "store/history_rows.h"

#include "store/store_time.h"
#include "store/text_edit.h"

#include <algorithm>

namespace brindle::store {

namespace {

HistoryOutcome OutcomeNamed(const QString& name) {
    if (name == u"failed")
        return HistoryOutcome::Failed;
    if (name == u"cancelled")
        return HistoryOutcome::Cancelled;
    return HistoryOutcome::Completed;
}

} // namespace

QString OutcomeName(HistoryOutcome outcome) {
    switch (outcome) {
    case HistoryOutcome::Failed:
        return QStringLiteral("failed");
    case HistoryOutcome::Cancelled:
        return QStringLiteral("cancelled");
    case HistoryOutcome::Completed:
        break;
    }
    return QStringLiteral("completed");
}

HistoryEntry ReadHistoryEntry(const SqliteStatement& row, bool withText) {
    HistoryEntry entry;
    entry.id = row.Int(0);
    entry.started = ParseStoreTime(row.Text(1));
    entry.durationMs = row.Int(2);
    entry.dsn = row.Text(3);
    entry.login = row.Text(4);
    entry.caption = row.Text(5);
    entry.rows = row.IsNull(6) ? -1 : row.Int(6);
    entry.rowsChanged = row.Int(7) != 0;
    entry.outcome = OutcomeNamed(row.Text(8));
    entry.error = row.Text(9);
    entry.firstLine = row.Text(10);
    if (withText)
        entry.text = row.Text(11);
    return entry;
}

namespace {

// Rows written by one INSERT: the index is given each statement's rows at
// once (a statement each, it would write a segment of its own each).
constexpr std::size_t kRowsPerInsert = 200;
constexpr int kColumns = 11;

QByteArray InsertSql(std::size_t rows) {
    QByteArray sql = "INSERT INTO history(started, duration_ms, dsn, login, caption, rows,"
                     " rows_changed, outcome, error, first_line, text) VALUES ";
    for (std::size_t i = 0; i < rows; ++i)
        sql += i == 0 ? "(?,?,?,?,?,?,?,?,?,?,?)" : ",(?,?,?,?,?,?,?,?,?,?,?)";
    return sql;
}

void BindEntry(SqliteStatement& insert, int first, const HistoryEntry& entry) {
    insert.Bind(first, entry.started.isValid() ? StoreTime(entry.started) : StoreTimeNow())
        .Bind(first + 1, entry.durationMs)
        .Bind(first + 2, entry.dsn)
        .Bind(first + 3, entry.login)
        .Bind(first + 4, entry.caption);
    if (entry.rows >= 0)
        insert.Bind(first + 5, entry.rows);
    else
        insert.BindNull(first + 5);
    insert.Bind(first + 6, qint64{entry.rowsChanged ? 1 : 0})
        .Bind(first + 7, OutcomeName(entry.outcome))
        .Bind(first + 8, entry.error)
        .Bind(first + 9, entry.firstLine.isEmpty() ? FirstLine(entry.text) : entry.firstLine)
        .Bind(first + 10, entry.text);
}

} // namespace

void InsertHistoryEntries(const SqliteConnection& db, std::span<const HistoryEntry> entries) {
    SqliteStatement full;
    while (!entries.empty()) {
        const std::size_t rows = std::min(entries.size(), kRowsPerInsert);
        SqliteStatement rest;
        SqliteStatement& insert = rows == kRowsPerInsert ? full : rest;
        if (!insert)
            insert = SqliteStatement(db, InsertSql(rows).constData(), kCannotWrite);
        for (std::size_t i = 0; i < rows; ++i)
            BindEntry(insert, static_cast<int>(i) * kColumns + 1, entries[i]);
        insert.Run();
        insert.Reset();
        entries = entries.subspan(rows);
    }
}

void DropOldHistory(const SqliteConnection& db, int keepDays, qint64 keepEntries) {
    SqliteStatement old(db, "DELETE FROM history WHERE started < ?", kCannotWrite);
    old.Bind(1, StoreTime(QDateTime::currentDateTimeUtc().addDays(-keepDays))).Run();
    // The newest entry beyond the limit, through the index on the start time
    // (a few MB at the limit, not the texts).
    SqliteStatement beyond(db,
                           "SELECT started, id FROM history ORDER BY started DESC, id DESC"
                           " LIMIT 1 OFFSET ?",
                           kCannotWrite);
    beyond.Bind(1, keepEntries);
    if (!beyond.Step())
        return;
    const QString started = beyond.Text(0);
    const qint64 id = beyond.Int(1);
    beyond.Reset();
    SqliteStatement drop(
        db, "DELETE FROM history WHERE started < ?1 OR (started = ?1 AND id <= ?2)", kCannotWrite);
    drop.Bind(1, started).Bind(2, id).Run();
}

} // namespace brindle::store
