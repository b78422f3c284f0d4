#include "store/history_writer.h"

#include "store/history_rows.h"

namespace brindle::store {

HistoryWriter::HistoryWriter(StorePaths paths, bool repairDamage)
    : m_paths(std::move(paths)), m_repairDamage(repairDamage) {}

QString HistoryWriter::Open() {
    if (IsOpen())
        return {};
    m_store = OpenLocalStore(m_paths, m_repairDamage);
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
