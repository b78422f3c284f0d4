#include "store/sqlite_handles.h"

#include <QFile>

#include <utility>

namespace brindle::store {

Error SqliteError(int code, const char16_t* voice, sqlite3* db) {
    const char* message = db != nullptr && sqlite3_extended_errcode(db) == code
                              ? sqlite3_errmsg(db)
                              : sqlite3_errstr(code);
    return {code, QString::fromUtf16(voice) + QString::fromUtf8(message)};
}

void Check(int rc, const char16_t* voice, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw SqliteError(db != nullptr ? sqlite3_extended_errcode(db) : rc, voice, db);
}

bool IsDamage(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

void SetUpSqliteForThreads() noexcept {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

SqliteConnection::SqliteConnection(const QString& path, int flags, const char16_t* voice) {
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                   flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const Error error =
            SqliteError(m_db != nullptr ? sqlite3_extended_errcode(m_db) : rc, voice, m_db);
        reset();
        throw error;
    }
    sqlite3_extended_result_codes(m_db, 1);
}

SqliteConnection::~SqliteConnection() {
    reset();
}

SqliteConnection::SqliteConnection(SqliteConnection&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)) {}

SqliteConnection& SqliteConnection::operator=(SqliteConnection&& other) noexcept {
    if (this != &other) {
        reset();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

void SqliteConnection::reset() noexcept {
    // Every statement is finalised by its owner first; close_v2 would
    // otherwise keep the connection as a zombie until they are.
    if (m_db != nullptr)
        sqlite3_close_v2(std::exchange(m_db, nullptr));
}

void SqliteConnection::Exec(const char* sql, const char16_t* voice) const {
    Check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), voice, m_db);
}

SqliteStatement::SqliteStatement(const SqliteConnection& db, const char* sql, const char16_t* voice)
    : m_db(db.get()), m_voice(voice) {
    Check(sqlite3_prepare_v2(m_db, sql, -1, &m_stmt, nullptr), voice, m_db);
}

SqliteStatement::~SqliteStatement() {
    if (m_stmt != nullptr)
        sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)), m_db(other.m_db), m_voice(other.m_voice),
      m_bound(std::move(other.m_bound)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        if (m_stmt != nullptr)
            sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_db = other.m_db;
        m_voice = other.m_voice;
        m_bound = std::move(other.m_bound);
    }
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const QString& text) {
    // The bytes live in m_bound until Reset: SQLite reads them in place.
    m_bound.push_back(text.toUtf8());
    const QByteArray& bytes = m_bound.back();
    Check(sqlite3_bind_text64(m_stmt, index, bytes.constData(),
                              static_cast<sqlite3_uint64>(bytes.size()), SQLITE_STATIC,
                              SQLITE_UTF8),
          m_voice, m_db);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, qint64 value) {
    Check(sqlite3_bind_int64(m_stmt, index, value), m_voice, m_db);
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, QByteArrayView bytes) {
    Check(sqlite3_bind_blob64(m_stmt, index, bytes.data(),
                              static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT),
          m_voice, m_db);
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    Check(sqlite3_bind_null(m_stmt, index), m_voice, m_db);
    return *this;
}

bool SqliteStatement::Step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The statement's own code: with extended codes on, step returns it.
    const Error error = SqliteError(rc, m_voice, m_db);
    sqlite3_reset(m_stmt);
    throw error;
}

void SqliteStatement::Run() {
    while (Step()) {
    }
}

void SqliteStatement::Reset() noexcept {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_bound.clear();
}

QString SqliteStatement::Text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return bytes != nullptr ? QString::fromUtf8(bytes, size) : QString();
}

qint64 SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(const SqliteConnection& db, bool immediate,
                                     const char16_t* voice)
    : m_db(db.get()), m_voice(voice) {
    Check(sqlite3_exec(m_db, immediate ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr),
          voice, m_db);
}

SqliteTransaction::~SqliteTransaction() {
    if (m_open && sqlite3_get_autocommit(m_db) == 0)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit() {
    Check(sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr), m_voice, m_db);
    m_open = false;
}

} // namespace brindle::store
