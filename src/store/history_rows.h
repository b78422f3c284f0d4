#pragma once

#include "store/query_history.h"
#include "store/sqlite_handles.h"

#include <span>

namespace brindle::store {

// The columns ReadHistoryEntry reads, in its order, before `text`.
inline constexpr char kHistoryColumns[] =
    "h.id, h.started, h.duration_ms, h.dsn, h.login, h.caption, h.rows, h.rows_changed,"
    " h.outcome, h.error, h.first_line";

// One row selected as kHistoryColumns, then `text` when `withText`.
HistoryEntry ReadHistoryEntry(const SqliteStatement& row, bool withText);

// Adds `entries` to the history in order, in the caller's transaction.
void InsertHistoryEntries(const SqliteConnection& db, std::span<const HistoryEntry> entries);

// Drops the entries older than `keepDays` and those beyond the newest
// `keepEntries`, in the caller's transaction.
void DropOldHistory(const SqliteConnection& db, int keepDays, qint64 keepEntries);

} // namespace brindle::store
