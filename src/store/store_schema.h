#pragma once

#include "store/sqlite_handles.h"

namespace brindle::store {

// The schema's version this program writes (PRAGMA user_version).
int StoreSchemaVersion();

// Brings a store made by an older version (0: a new, empty file) up to
// StoreSchemaVersion(), one step per version, each in its own transaction.
// Throws Error for a store of a newer version, which this one must not touch.
void MigrateStore(const SqliteConnection& db);

} // namespace brindle::store
