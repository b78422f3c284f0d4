#pragma once

#include "store/sqlite_handles.h"
#include "store/store_paths.h"

#include <sys/types.h>

namespace brindle::store {

// Which file a path named when it was opened, to notice that it has been
// moved aside or replaced since.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
// Nothing (all zero) when the path names no file.
FileIdentity IdentityOf(const QString& path);

struct OpenedStore {
    SqliteConnection db;
    FileIdentity identity;
    QString movedAside; // where a damaged store went, or empty
};

// How OpenLocalStore deals with a damaged store.
struct StoreOpening {
    // Moved aside and made afresh; else left as it is, and the damage thrown.
    bool repairDamage = true;
    // Every page checked (PRAGMA quick_check, which reads the whole file);
    // else damage is found where it is met.
    bool checkEveryPage = true;
};

// Opens the store to write, making its directory (0700), its file (0600) and
// its schema as needed. A damaged store (not a database, failing its check,
// a directory in its place) is moved aside, never deleted, and a fresh one is
// made, unless `how` says otherwise. Throws Error when no store can be had.
OpenedStore OpenLocalStore(const StorePaths& paths, StoreOpening how = {});

// Opens the store as it is: never creates, migrates or repairs it. Throws
// Error when there is none or it cannot be opened.
SqliteConnection OpenExistingStore(const StorePaths& paths, bool writable);

// Makes `path` and its missing parents with mode 0700; an existing `path`
// loses any permission beyond 0700 (none is added: a directory made
// read-only stays so). Throws Error when it cannot be had.
void MakePrivateDirectory(const QString& path);

// Renames the damaged store and its -wal and -shm files to
// "brindle.db.damaged-YYYYMMDD-HHMMSS" (local time) beside it; returns that
// path. Throws Error when it cannot be moved.
QString MoveDamagedStoreAside(const QString& database);

} // namespace brindle::store
