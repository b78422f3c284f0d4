#pragma once

#include "store/local_store.h"
#include "store/query_history.h"

#include <span>

namespace brindle::store {

// The history recorder's side of the store: its connection, opened when
// first needed, and the transactions that add entries and drop old ones.
// The recorder's worker thread only; every failure is an Error, after which
// nothing is changed.
class HistoryWriter {
public:
    static constexpr int kKeepDays = 90;
    static constexpr qint64 kKeepEntries = 100'000;
    // Old entries are dropped when the store is opened and after this many
    // more have been written.
    static constexpr qint64 kDropEvery = 1'000;

    HistoryWriter(StorePaths paths, bool repairDamage);

    // Opens the store unless it is open, and drops old entries. A damaged
    // store is moved aside (and its new path returned) when the writer may
    // repair it, else the damage is thrown.
    QString Open();
    bool IsOpen() const { return static_cast<bool>(m_store.db); }
    // The file at the store's path is not the one open: someone moved it
    // aside or deleted it.
    bool Replaced() const;
    void Close() noexcept { m_store = OpenedStore(); }
    // Moves the damaged store aside (closing it first); returns where to.
    QString MoveAside();

    // Adds `entries` in order in one transaction. The store must be open.
    void Write(std::span<const HistoryEntry> entries);

private:
    StorePaths m_paths;
    bool m_repairDamage;
    OpenedStore m_store;
    qint64 m_sinceDropped = 0;
};

} // namespace brindle::store
