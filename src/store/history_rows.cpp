#include "store/history_rows.h"

#include "store/store_time.h"
#include "store/text_edit.h"

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

void InsertHistoryEntries(const SqliteConnection& db, std::span<const HistoryEntry> entries) {
    SqliteStatement insert(db,
                           "INSERT INTO history(started, duration_ms, dsn, login, caption, rows,"
                           " rows_changed, outcome, error, first_line, text)"
                           " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           kCannotWrite);
    for (const HistoryEntry& entry : entries) {
        insert.Bind(1, entry.started.isValid() ? StoreTime(entry.started) : StoreTimeNow())
            .Bind(2, entry.durationMs)
            .Bind(3, entry.dsn)
            .Bind(4, entry.login)
            .Bind(5, entry.caption);
        if (entry.rows >= 0)
            insert.Bind(6, entry.rows);
        else
            insert.BindNull(6);
        insert.Bind(7, qint64{entry.rowsChanged ? 1 : 0})
            .Bind(8, OutcomeName(entry.outcome))
            .Bind(9, entry.error)
            .Bind(10, entry.firstLine.isEmpty() ? FirstLine(entry.text) : entry.firstLine)
            .Bind(11, entry.text)
            .Run();
        insert.Reset();
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
