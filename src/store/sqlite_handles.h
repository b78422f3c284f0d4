#pragma once

#include "core/error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sqlite3.h>

#include <vector>

namespace brindle::store {

// What the program says when the local store fails, in its own words; the
// description goes on with SQLite's.
inline constexpr char16_t kCannotOpen[] = u"ローカル ストアを開けません: ";
inline constexpr char16_t kCannotRead[] = u"ローカル ストアを読み込めません: ";
inline constexpr char16_t kCannotWrite[] = u"ローカル ストアに書き込めません: ";

// An Error numbered by SQLite's extended result code `code`: `voice` followed
// by SQLite's message for the connection (or for the code when there is none).
Error SqliteError(int code, const char16_t* voice, sqlite3* db);

// Throws SqliteError unless `rc` is SQLITE_OK, SQLITE_ROW or SQLITE_DONE.
void Check(int rc, const char16_t* voice, sqlite3* db);

// True for the result codes of a file that is not a sound database.
bool IsDamage(int code);

// For a program's main, before anything uses SQLite: turns off SQLite's
// memory statistics, which it keeps under one lock for the whole process,
// so that the history's thread and a SQLite data source's driver (the same
// library) do not wait for each other at every allocation. Nothing happens
// once SQLite is in use.
void SetUpSqliteForThreads() noexcept;

// Owns one connection.
class SqliteConnection {
public:
    SqliteConnection() = default;
    // Opens `path` with `flags` (SQLITE_OPEN_*); throws with `voice` on failure.
    SqliteConnection(const QString& path, int flags, const char16_t* voice);
    ~SqliteConnection();
    SqliteConnection(SqliteConnection&& other) noexcept;
    SqliteConnection& operator=(SqliteConnection&& other) noexcept;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* get() const noexcept { return m_db; }
    explicit operator bool() const noexcept { return m_db != nullptr; }
    void reset() noexcept;

    // Runs statements that return nothing the caller needs.
    void Exec(const char* sql, const char16_t* voice) const;
    qint64 Changes() const { return sqlite3_changes64(m_db); }
    qint64 LastRowId() const { return sqlite3_last_insert_rowid(m_db); }

private:
    sqlite3* m_db = nullptr;
};

// Owns one prepared statement; binds and reads with Qt's types.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(const SqliteConnection& db, const char* sql, const char16_t* voice);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // False for one made empty (or moved from).
    explicit operator bool() const noexcept { return m_stmt != nullptr; }

    // Parameters count from 1. Text is bound as UTF-8, kept alive here until
    // the next Reset, so that a large text is converted once and not copied.
    SqliteStatement& Bind(int index, const QString& text);
    SqliteStatement& Bind(int index, qint64 value);
    // Bytes as they are, copied by SQLite.
    SqliteStatement& BindBlob(int index, QByteArrayView bytes);
    SqliteStatement& BindNull(int index);

    // One step: true while it gives a row.
    bool Step();
    // Steps to the end (for statements without rows).
    void Run();
    void Reset() noexcept;

    // Columns count from 0.
    QString Text(int column) const;
    qint64 Int(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    sqlite3* m_db = nullptr;
    const char16_t* m_voice = kCannotRead;
    std::vector<QByteArray> m_bound; // texts bound since the last Reset
};

// One transaction: begun here, rolled back unless Commit is called.
class SqliteTransaction {
public:
    // `immediate`: takes the write lock at once (waiting busy_timeout for it).
    SqliteTransaction(const SqliteConnection& db, bool immediate, const char16_t* voice);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void Commit();

private:
    sqlite3* m_db;
    const char16_t* m_voice;
    bool m_open = true;
};

} // namespace brindle::store
