// Fetching a large result: a Recordset against plain ODBC loops over the same
// query (text bound narrow, the yardstick, and wide), on SQLite and, when
// BRINDLE_TEST_PG_DSN/UID/PWD name one, PostgreSQL; and moving to either end
// of the result.

#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using brindle::Command;
using brindle::Connection;
using brindle::Recordset;

constexpr int kRows = 1'000'000;
constexpr SQLULEN kBlock = 1000;
constexpr int kTextChars = 40;

const char16_t* const kSelect = u"SELECT id, name, amount, day, note FROM t";

enum Backend { kSQLite = 0, kPostgreSQL = 1 };

// The benchmark table on each backend, made once per run: names of 20 to 40
// characters, a third of them Japanese; 30 % NULL notes.
class Database {
public:
    static Database& instance(Backend backend) {
        if (backend == kPostgreSQL) {
            static Database pg(kPostgreSQL);
            return pg;
        }
        static Database sqlite(kSQLite);
        return sqlite;
    }
    // Null when the backend is not configured here.
    const QString& connectionString() const { return m_connectionString; }

private:
    explicit Database(Backend backend) {
        QString insert;
        if (backend == kPostgreSQL) {
            const QString dsn = qEnvironmentVariable("BRINDLE_TEST_PG_DSN");
            if (dsn.isEmpty())
                return;
            m_connectionString = u"DSN=" + dsn + u";UID=" +
                                 qEnvironmentVariable("BRINDLE_TEST_PG_UID") + u";PWD=" +
                                 qEnvironmentVariable("BRINDLE_TEST_PG_PWD") + u';';
            insert = u"INSERT INTO t SELECT x, substr(CASE WHEN x % 3 = 0 THEN "
                     u"'東京都千代田区丸の内一丁目様' ELSE 'Customer number ' END || x || "
                     u"' abcdefghijklmnopqrstuvwxyz0123456789', 1, 20 + x % 21), x * 1.25, "
                     u"date '2000-01-01' + (x % 9000), CASE WHEN x % 10 < 3 THEN NULL ELSE "
                     u"'note for ' || x END FROM generate_series(1, " +
                     QString::number(kRows) + u") AS x";
        } else {
            if (!m_dir.isValid())
                throw std::runtime_error("no temporary directory");
            m_connectionString = u"Driver=SQLite3;Database=" +
                                 QDir(m_dir.path()).filePath(QStringLiteral("fetch.db")) + u';';
            insert = u"INSERT INTO t WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                     u"FROM c WHERE x < " +
                     QString::number(kRows) +
                     u") SELECT x, substr(CASE WHEN x % 3 = 0 THEN '東京都千代田区丸の内一丁目様' "
                     u"ELSE 'Customer number ' END || x || ' "
                     u"abcdefghijklmnopqrstuvwxyz0123456789', 1, 20 + x % 21), x * 1.25, "
                     u"date('2000-01-01', '+' || (x % 9000) || ' days'), CASE WHEN x % 10 < 3 "
                     u"THEN NULL ELSE 'note for ' || x END FROM c";
        }
        Connection connection;
        connection.setConnectionString(m_connectionString);
        connection.Open();
        Command command;
        command.setActiveConnection(&connection);
        command.setCommandTimeout(0);
        Recordset rs;
        const auto run = [&](const QString& sql) {
            command.setCommandText(sql);
            rs.Open(command);
            if (rs.State() != 0)
                rs.Close();
        };
        run(QStringLiteral("DROP TABLE IF EXISTS t"));
        run(QStringLiteral("CREATE TABLE t(id INTEGER, name VARCHAR(40), amount DOUBLE "
                           "PRECISION, day DATE, note VARCHAR(40))"));
        run(insert);
        connection.CommitTrans();
    }

    QTemporaryDir m_dir;
    QString m_connectionString;
};

// The connection string of the benchmark's backend, or a skip.
bool ConnectionFor(benchmark::State& state, QString& connectionString) {
    connectionString = Database::instance(static_cast<Backend>(state.range(0))).connectionString();
    if (connectionString.isEmpty())
        state.SkipWithError("BRINDLE_TEST_PG_DSN is not set");
    return !connectionString.isEmpty();
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void Fail(benchmark::State& state, const brindle::Error& e) {
    state.SkipWithError(e.description().toStdString().c_str());
}

void FetchRecordset(benchmark::State& state, bool keepAll, bool onThread = false) {
    try {
        QString connectionString;
        if (!ConnectionFor(state, connectionString))
            return;
        Connection connection;
        connection.setConnectionString(connectionString);
        connection.Open();
        Command command;
        command.setActiveConnection(&connection);
        command.setCommandText(QString::fromUtf16(kSelect));
        command.setCommandTimeout(0);
        command.setKeepAllResults(keepAll);
        Recordset rs;
        std::size_t bytes = 0;
        qsizetype rows = 0;
        for (auto _ : state) {
            const std::size_t before = HeapInUse();
            if (onThread) {
                // As the window runs a batch: on a thread of its own.
                std::optional<brindle::Error> failed;
                std::thread worker([&] {
                    try {
                        rs.Open(command);
                    } catch (const brindle::Error& e) {
                        failed = e;
                    }
                });
                worker.join();
                if (failed)
                    throw *failed;
            } else {
                rs.Open(command);
            }
            bytes = HeapInUse() - before;
            rows = rs.RecordCount();
            rs.Close();
        }
        state.counters["rows"] = static_cast<double>(rows);
        state.counters["heap_MB"] = static_cast<double>(bytes) / 1e6;
        state.counters["heap_B_per_row"] = static_cast<double>(bytes) / static_cast<double>(rows);
    } catch (const brindle::Error& e) {
        Fail(state, e);
    }
}
void BM_FetchRecordset(benchmark::State& state) {
    FetchRecordset(state, false);
}
BENCHMARK(BM_FetchRecordset)
    ->ArgName("pg")
    ->Arg(kSQLite)
    ->Arg(kPostgreSQL)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same on a thread of its own, as the window fetches.
void BM_FetchRecordsetOnThread(benchmark::State& state) {
    FetchRecordset(state, true, true);
}
BENCHMARK(BM_FetchRecordsetOnThread)
    ->ArgName("pg")
    ->Arg(kSQLite)
    ->Arg(kPostgreSQL)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same with the command keeping every result of the batch, as the window
// does for its result tabs: the one result is shared, not copied.
void BM_FetchRecordsetKeepingAll(benchmark::State& state) {
    FetchRecordset(state, true);
}
BENCHMARK(BM_FetchRecordsetKeepingAll)
    ->ArgName("pg")
    ->Arg(kSQLite)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The plain loops: forward-only cursor, blocks of rows, bound columns, values
// appended to vectors. Text is bound as SQL_C_CHAR (the UTF-8 bytes kept as
// they come) or as SQL_C_WCHAR (UTF-16); for a driver without W functions
// (SQLite3) the wide loop pays for the conversion to UTF-16 in the driver
// or the driver manager, the narrow one is the fastest the driver offers.
template <typename Char> struct RawColumns {
    std::vector<SQLBIGINT> id;
    std::vector<Char> nameText;
    std::vector<std::size_t> nameEnds;
    std::vector<double> amount;
    std::vector<SQL_DATE_STRUCT> day;
    std::vector<Char> noteText;
    std::vector<std::size_t> noteEnds;
    std::vector<bool> noteNull;
};

void Check(SQLRETURN rc, const char* what) {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw brindle::Error(1, QString::fromLatin1(what));
}

struct RawHandles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    explicit RawHandles(const QString& connectionString) {
        Check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env), "env");
        Check(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                            0),
              "version");
        Check(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), "dbc");
        const QByteArray cs = connectionString.toUtf8();
        Check(SQLDriverConnect(dbc, nullptr,
                               reinterpret_cast<SQLCHAR*>(const_cast<char*>(cs.constData())),
                               SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
              "connect");
    }
    ~RawHandles() {
        SQLDisconnect(dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
    RawHandles(const RawHandles&) = delete;
    RawHandles& operator=(const RawHandles&) = delete;
};

template <typename Char>
void AppendText(std::vector<Char>& text, std::vector<std::size_t>& ends, const Char* value,
                SQLLEN bytes) {
    if (bytes > 0)
        text.insert(text.end(), value, value + bytes / static_cast<SQLLEN>(sizeof(Char)));
    ends.push_back(text.size());
}

template <typename Char> std::size_t RawFetch(SQLHDBC dbc, RawColumns<Char>& out) {
    constexpr bool wide = sizeof(Char) == sizeof(SQLWCHAR);
    constexpr SQLSMALLINT textType = wide ? SQL_C_WCHAR : SQL_C_CHAR;
    // Room for every character: two UTF-16 units or four UTF-8 bytes, and the NUL.
    constexpr std::size_t cellChars = wide ? 2 * kTextChars + 1 : 4 * kTextChars + 1;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), "stmt");
    std::vector<SQLBIGINT> id(kBlock);
    std::vector<Char> name(kBlock * cellChars);
    std::vector<double> amount(kBlock);
    std::vector<SQL_DATE_STRUCT> day(kBlock);
    std::vector<Char> note(kBlock * cellChars);
    std::vector<SQLLEN> ind(kBlock * 5);
    SQLULEN fetched = 0;
    const SQLLEN textBytes = cellChars * sizeof(Char);
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0),
          "block");
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), "fetched");
    Check(SQLBindCol(stmt, 1, SQL_C_SBIGINT, id.data(), 0, &ind[0]), "bind 1");
    Check(SQLBindCol(stmt, 2, textType, name.data(), textBytes, &ind[kBlock]), "bind 2");
    Check(SQLBindCol(stmt, 3, SQL_C_DOUBLE, amount.data(), 0, &ind[2 * kBlock]), "bind 3");
    Check(SQLBindCol(stmt, 4, SQL_C_TYPE_DATE, day.data(), 0, &ind[3 * kBlock]), "bind 4");
    Check(SQLBindCol(stmt, 5, textType, note.data(), textBytes, &ind[4 * kBlock]), "bind 5");
    const QByteArray sql = QString::fromUtf16(kSelect).toUtf8();
    Check(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.constData())),
                        SQL_NTS),
          "execute");
    std::size_t rows = 0;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        for (SQLULEN r = 0; r < fetched; ++r) {
            out.id.push_back(id[r]);
            AppendText(out.nameText, out.nameEnds, &name[r * cellChars], ind[kBlock + r]);
            out.amount.push_back(amount[r]);
            out.day.push_back(day[r]);
            const bool isNull = ind[4 * kBlock + r] == SQL_NULL_DATA;
            out.noteNull.push_back(isNull);
            AppendText(out.noteText, out.noteEnds, &note[r * cellChars],
                       isNull ? 0 : ind[4 * kBlock + r]);
        }
        rows += fetched;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return rows;
}

// The values' own bytes: 8 per integer and double, a date structure and the
// text's own units; nothing for NULL.
template <typename Char> std::size_t RawDataBytes(const RawColumns<Char>& c) {
    return c.id.size() * (sizeof(SQLBIGINT) + sizeof(double) + sizeof(SQL_DATE_STRUCT)) +
           (c.nameText.size() + c.noteText.size()) * sizeof(Char);
}

template <typename Char> void FetchRawLoop(benchmark::State& state) {
    try {
        QString connectionString;
        if (!ConnectionFor(state, connectionString))
            return;
        RawHandles handles(connectionString);
        std::size_t rows = 0;
        std::size_t dataBytes = 0;
        for (auto _ : state) {
            RawColumns<Char> columns;
            rows = RawFetch(handles.dbc, columns);
            dataBytes = RawDataBytes(columns);
            benchmark::DoNotOptimize(columns);
        }
        state.counters["rows"] = static_cast<double>(rows);
        state.counters["data_MB"] = static_cast<double>(dataBytes) / 1e6;
    } catch (const brindle::Error& e) {
        Fail(state, e);
    }
}

void BM_FetchRawLoopNarrow(benchmark::State& state) {
    FetchRawLoop<char>(state);
}
BENCHMARK(BM_FetchRawLoopNarrow)
    ->ArgName("pg")
    ->Arg(kSQLite)
    ->Arg(kPostgreSQL)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_FetchRawLoopWide(benchmark::State& state) {
    FetchRawLoop<char16_t>(state);
}
BENCHMARK(BM_FetchRawLoopWide)
    ->ArgName("pg")
    ->Arg(kSQLite)
    ->Arg(kPostgreSQL)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Moving to the ends of a fetched result.
class OpenResult {
public:
    OpenResult() {
        m_connection.setConnectionString(Database::instance(kSQLite).connectionString());
        m_connection.Open();
        m_command.setActiveConnection(&m_connection);
        m_command.setCommandText(QString::fromUtf16(kSelect));
        m_command.setCommandTimeout(0);
        m_rs.Open(m_command);
    }
    Recordset& rs() { return m_rs; }

private:
    Connection m_connection;
    Command m_command;
    Recordset m_rs;
};

OpenResult& SharedResult() {
    static OpenResult result;
    return result;
}

// One iteration moves to the last record and back to the first.
void BM_MoveLastThenFirst(benchmark::State& state) {
    try {
        Recordset& rs = SharedResult().rs();
        for (auto _ : state) {
            rs.MoveLast();
            benchmark::DoNotOptimize(rs.Value(0));
            rs.MoveFirst();
            benchmark::DoNotOptimize(rs.Value(0));
        }
        state.counters["rows"] = static_cast<double>(rs.RecordCount());
    } catch (const brindle::Error& e) {
        Fail(state, e);
    }
}
BENCHMARK(BM_MoveLastThenFirst)->Unit(benchmark::kMicrosecond);

} // namespace
