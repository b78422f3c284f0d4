#include "store/history_writer.h"

#include "store/history_rows.h"

namespace brindle::store {

HistoryWriter::HistoryWriter(StorePaths paths, bool repairDamage)
    : m_paths(std::move(paths)), m_repairDamage(repairDamage) {}

QString HistoryWriter::Open() {
    if (IsOpen())
        return {};
    // Not every page read: brindle-cli opens the store for each run, and a
    // check of 100,000 entries would cost it more than its query. Damage is
    // found where a write meets it.
    m_store = OpenLocalStore(m_paths, {m_repairDamage, false});
    // Nor is the log copied back into the database at each run's end: the
    // next write, or the window, does that when the log is long enough.
    sqlite3_db_config(m_store.db.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    try {
        SqliteTransaction transaction(m_store.db, true, kCannotWrite);
        DropOldHistory(m_store.db, kKeepDays, kKeepEntries);
        transaction.Commit();
        m_sinceDropped = 0;
    } catch (const Error&) {
        // Tried again with the next writes; they say what is wrong.
        m_sinceDropped = kDropEvery;
    }
    return m_store.movedAside;
}

bool HistoryWriter::Replaced() const {
    return IsOpen() && IdentityOf(m_paths.Database()) != m_store.identity;
}

QString HistoryWriter::MoveAside() {
    Close();
    return MoveDamagedStoreAside(m_paths.Database());
}

void HistoryWriter::Write(std::span<const HistoryEntry> entries) {
    SqliteTransaction transaction(m_store.db, true, kCannotWrite);
    InsertHistoryEntries(m_store.db, entries);
    const qint64 since = m_sinceDropped + static_cast<qint64>(entries.size());
    const bool drop = since >= kDropEvery;
    if (drop)
        DropOldHistory(m_store.db, kKeepDays, kKeepEntries);
    transaction.Commit();
    m_sinceDropped = drop ? 0 : since;
}

} // namespace brindle::store
