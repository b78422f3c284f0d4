// Fetching a large result: a Recordset against a plain ODBC loop over the same
// query, and moving to either end of the result.

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
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using brindle::Command;
using brindle::Connection;
using brindle::Recordset;

constexpr int kRows = 1'000'000;
constexpr SQLULEN kBlock = 256;
constexpr int kTextChars = 40;

const char16_t* const kSelect = u"SELECT id, name, amount, day, note FROM t";

// One SQLite database with the benchmark table, made once per run.
class Database {
public:
    static Database& instance() {
        static Database db;
        return db;
    }
    const QString& connectionString() const { return m_connectionString; }

private:
    Database() {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary directory");
        m_connectionString = u"Driver=SQLite3;Database=" +
                             QDir(m_dir.path()).filePath(QStringLiteral("fetch.db")) + u';';
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
        run(QStringLiteral("CREATE TABLE t(id INTEGER, name VARCHAR(40), amount DOUBLE, "
                           "day DATE, note VARCHAR(40))"));
        // Names of 20 to 40 characters, a third of them Japanese; 30 % NULL notes.
        run(u"INSERT INTO t WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
            u"WHERE x < " +
            QString::number(kRows) +
            u") SELECT x, substr(CASE WHEN x % 3 = 0 THEN '東京都千代田区丸の内一丁目様' "
            u"ELSE 'Customer number ' END || x || ' abcdefghijklmnopqrstuvwxyz0123456789', "
            u"1, 20 + x % 21), x * 1.25, date('2000-01-01', '+' || (x % 9000) || ' days'), "
            u"CASE WHEN x % 10 < 3 THEN NULL ELSE 'note for ' || x END FROM c");
    }

    QTemporaryDir m_dir;
    QString m_connectionString;
};

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void Fail(benchmark::State& state, const brindle::Error& e) {
    state.SkipWithError(e.description().toStdString().c_str());
}

void FetchRecordset(benchmark::State& state, bool keepAll) {
    try {
        Connection connection;
        connection.setConnectionString(Database::instance().connectionString());
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
            rs.Open(command);
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
BENCHMARK(BM_FetchRecordset)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the command keeping every result of the batch, as the window
// does for its result tabs: the one result is shared, not copied.
void BM_FetchRecordsetKeepingAll(benchmark::State& state) {
    FetchRecordset(state, true);
}
BENCHMARK(BM_FetchRecordsetKeepingAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain loop: block cursor, bound columns, values appended to vectors.
struct RawColumns {
    std::vector<SQLBIGINT> id;
    std::vector<char16_t> nameText;
    std::vector<std::size_t> nameEnds;
    std::vector<double> amount;
    std::vector<SQL_DATE_STRUCT> day;
    std::vector<char16_t> noteText;
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
    RawHandles() {
        Check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env), "env");
        Check(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                            0),
              "version");
        Check(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), "dbc");
        const std::u16string cs = Database::instance().connectionString().toStdU16String();
        Check(
            SQLDriverConnectW(dbc, nullptr,
                              const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(cs.c_str())),
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

void AppendText(std::vector<char16_t>& text, std::vector<std::size_t>& ends, const char16_t* value,
                SQLLEN bytes) {
    if (bytes > 0)
        text.insert(text.end(), value, value + bytes / static_cast<SQLLEN>(sizeof(char16_t)));
    ends.push_back(text.size());
}

std::size_t RawFetch(SQLHDBC dbc, RawColumns& out) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), "stmt");
    std::vector<SQLBIGINT> id(kBlock);
    std::vector<char16_t> name(kBlock * (kTextChars + 1));
    std::vector<double> amount(kBlock);
    std::vector<SQL_DATE_STRUCT> day(kBlock);
    std::vector<char16_t> note(kBlock * (kTextChars + 1));
    std::vector<SQLLEN> ind(kBlock * 5);
    SQLULEN fetched = 0;
    const SQLLEN textBytes = (kTextChars + 1) * sizeof(char16_t);
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0),
          "block");
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), "fetched");
    Check(SQLBindCol(stmt, 1, SQL_C_SBIGINT, id.data(), 0, &ind[0]), "bind 1");
    Check(SQLBindCol(stmt, 2, SQL_C_WCHAR, name.data(), textBytes, &ind[kBlock]), "bind 2");
    Check(SQLBindCol(stmt, 3, SQL_C_DOUBLE, amount.data(), 0, &ind[2 * kBlock]), "bind 3");
    Check(SQLBindCol(stmt, 4, SQL_C_TYPE_DATE, day.data(), 0, &ind[3 * kBlock]), "bind 4");
    Check(SQLBindCol(stmt, 5, SQL_C_WCHAR, note.data(), textBytes, &ind[4 * kBlock]), "bind 5");
    const std::u16string sql(kSelect);
    Check(SQLExecDirectW(
              stmt, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(sql.c_str())), SQL_NTS),
          "execute");
    std::size_t rows = 0;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        for (SQLULEN r = 0; r < fetched; ++r) {
            out.id.push_back(id[r]);
            AppendText(out.nameText, out.nameEnds, &name[r * (kTextChars + 1)], ind[kBlock + r]);
            out.amount.push_back(amount[r]);
            out.day.push_back(day[r]);
            const bool isNull = ind[4 * kBlock + r] == SQL_NULL_DATA;
            out.noteNull.push_back(isNull);
            AppendText(out.noteText, out.noteEnds, &note[r * (kTextChars + 1)],
                       isNull ? 0 : ind[4 * kBlock + r]);
        }
        rows += fetched;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return rows;
}

// The values' own bytes: 8 per integer and double, a date structure, two bytes
// per UTF-16 unit of text; nothing for NULL.
std::size_t RawDataBytes(const RawColumns& c) {
    return c.id.size() * (sizeof(SQLBIGINT) + sizeof(double) + sizeof(SQL_DATE_STRUCT)) +
           (c.nameText.size() + c.noteText.size()) * sizeof(char16_t);
}

void BM_FetchRawLoop(benchmark::State& state) {
    try {
        RawHandles handles;
        std::size_t rows = 0;
        std::size_t dataBytes = 0;
        for (auto _ : state) {
            RawColumns columns;
            rows = RawFetch(handles.dbc, columns);
            dataBytes = RawDataBytes(columns);
            benchmark::DoNotOptimize(columns);
        }
        state.counters["rows"] = static_cast<double>(rows);
        state.counters["data_MB"] = static_cast<double>(dataBytes) / 1e6;
        // The memory the Recordset may take for the same result.
        state.counters["bound_MB"] =
            (1.5 * static_cast<double>(dataBytes) + 16.0 * static_cast<double>(rows)) / 1e6;
    } catch (const brindle::Error& e) {
        Fail(state, e);
    }
}
BENCHMARK(BM_FetchRawLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// Moving to the ends of a fetched result.
class OpenResult {
public:
    OpenResult() {
        m_connection.setConnectionString(Database::instance().connectionString());
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
