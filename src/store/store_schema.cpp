#include "store/store_schema.h"

#include <iterator>

namespace brindle::store {

namespace {

// Step N brings version N to N + 1. A new table (the query history) is a new
// step at the end; steps already shipped never change.
constexpr const char* kSteps[] = {
    // 0 -> 1: sessions and the documents they keep. A document's text lives
    // apart from the row the journal touches on every write, so that an
    // edit of a 20 MB text does not rewrite it; `documents` puts them
    // together again for the sqlite3 shell.
    R"sql(
CREATE TABLE sessions(
    id INTEGER PRIMARY KEY,
    lock TEXT NOT NULL UNIQUE,
    pid INTEGER,
    started TEXT NOT NULL,
    ended TEXT
);
CREATE TABLE kept_documents(
    id INTEGER PRIMARY KEY,
    session INTEGER NOT NULL REFERENCES sessions(id),
    state TEXT NOT NULL CHECK(state IN ('open', 'closed')),
    caption TEXT NOT NULL,
    first_line TEXT NOT NULL,
    length INTEGER NOT NULL,
    created TEXT NOT NULL,
    changed TEXT NOT NULL,
    closed TEXT
);
CREATE INDEX kept_documents_by_state ON kept_documents(state, closed);
CREATE INDEX kept_documents_by_session ON kept_documents(session, state);
CREATE TABLE snapshots(
    document INTEGER PRIMARY KEY REFERENCES kept_documents(id) ON DELETE CASCADE,
    text TEXT NOT NULL
);
CREATE TABLE edits(
    document INTEGER NOT NULL REFERENCES kept_documents(id) ON DELETE CASCADE,
    seq INTEGER NOT NULL,
    position INTEGER NOT NULL,
    removed INTEGER NOT NULL,
    inserted TEXT NOT NULL,
    PRIMARY KEY(document, seq)
) WITHOUT ROWID;
CREATE VIEW documents AS
    SELECT d.id, d.session, d.state, d.caption, d.first_line, s.text, d.length, d.created,
           d.changed, d.closed
    FROM kept_documents AS d JOIN snapshots AS s ON s.document = d.id;
)sql",
};

constexpr int kVersion = static_cast<int>(std::size(kSteps));

int UserVersion(const SqliteConnection& db) {
    SqliteStatement query(db, "PRAGMA user_version", kCannotOpen);
    return query.Step() ? static_cast<int>(query.Int(0)) : 0;
}

} // namespace

int StoreSchemaVersion() {
    return kVersion;
}

void MigrateStore(const SqliteConnection& db) {
    int version = UserVersion(db);
    if (version > kVersion) {
        throw Error(
            SQLITE_CANTOPEN,
            QString::fromUtf16(kCannotOpen) +
                QStringLiteral("新しい版の Brindle が作ったストアです (版 %1)。").arg(version));
    }
    while (version < kVersion) {
        db.Exec("BEGIN IMMEDIATE", kCannotWrite);
        try {
            // Another instance may have migrated it meanwhile.
            version = UserVersion(db);
            if (version < kVersion) {
                db.Exec(kSteps[version], kCannotWrite);
                ++version;
                const QByteArray pragma = "PRAGMA user_version = " + QByteArray::number(version);
                db.Exec(pragma.constData(), kCannotWrite);
            }
            db.Exec("COMMIT", kCannotWrite);
        } catch (const Error&) {
            sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
}

} // namespace brindle::store
