#include "store/store_schema.h"

#include <iterator>

namespace brindle::store {

namespace {

// Step N brings version N to N + 1. A new table is a new step at the end;
// steps already shipped never change.
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
    // 1 -> 2: the query history. `text` is the batch whole, last so that a
    // list reads the other columns without its overflow pages. The trigram
    // index finds a text by any substring of three characters or more, in
    // any case and any language. It holds no copy of the text (the rows of
    // `history` are that) and is given each text with two line ends after
    // it, so that every character, the last ones too, starts one of its
    // trigrams: a search of one or two characters looks up the trigrams
    // that start with them. Its tokenizer ends a text at a NUL: the few
    // texts that hold one are listed by an index of their own, to be read
    // whole. The triggers keep it in step, also when the
    // sqlite3 shell deletes rows; a row it no longer holds (after a
    // 'delete-all') is not taken out again.
    R"sql(
CREATE TABLE history(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started TEXT NOT NULL,
    duration_ms INTEGER NOT NULL,
    dsn TEXT NOT NULL,
    login TEXT NOT NULL,
    caption TEXT NOT NULL,
    rows INTEGER,
    rows_changed INTEGER NOT NULL CHECK(rows_changed IN (0, 1)),
    outcome TEXT NOT NULL CHECK(outcome IN ('completed', 'failed', 'cancelled')),
    error TEXT NOT NULL,
    first_line TEXT NOT NULL,
    text TEXT NOT NULL
);
CREATE INDEX history_by_dsn ON history(dsn, id);
CREATE INDEX history_by_outcome ON history(outcome, id);
CREATE INDEX history_by_started ON history(started);
CREATE INDEX history_with_nul ON history(id) WHERE instr(text, char(0)) > 0;
CREATE VIRTUAL TABLE history_search USING fts5(text, content='', tokenize='trigram');
CREATE TRIGGER history_indexed AFTER INSERT ON history BEGIN
    INSERT INTO history_search(rowid, text) VALUES(new.id, new.text || char(10, 10));
END;
CREATE TRIGGER history_unindexed AFTER DELETE ON history
WHEN EXISTS (SELECT 1 FROM history_search WHERE rowid = old.id) BEGIN
    INSERT INTO history_search(history_search, rowid, text)
        VALUES('delete', old.id, old.text || char(10, 10));
END;
CREATE TRIGGER history_reindexed AFTER UPDATE OF id, text ON history BEGIN
    INSERT INTO history_search(history_search, rowid, text)
        SELECT 'delete', old.id, old.text || char(10, 10)
        WHERE EXISTS (SELECT 1 FROM history_search WHERE rowid = old.id);
    INSERT INTO history_search(rowid, text) VALUES(new.id, new.text || char(10, 10));
END;
)sql",
    // 2 -> 3: small choices of the user, such as whether the editor shows
    // line numbers, by name.
    R"sql(
CREATE TABLE preferences(
    name TEXT PRIMARY KEY,
    value TEXT NOT NULL
) WITHOUT ROWID;
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
