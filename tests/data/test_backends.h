#pragma once

#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "support/print_qt.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace brindle::test {

enum class BackendKind { SQLite, PostgreSQL, MariaDB };

// What a batch of only line ends gives back.
enum class BlankBatch {
    Nothing, // no result at all
    NoRows,  // a count of no changed rows
    Fails,   // an error
};

// How a test reaches one kind of database and where their SQL differs.
struct Backend {
    BackendKind kind;
    const char* name;      // for test names
    const char* dbmsName;  // what the driver reports
    QString shortTextType; // a declared-short text column that may hold more
    // (MariaDB keeps no more than a column declares: there it is a long one)
    QString longTextType;  // text of any length (MariaDB's text stops at 64 KB)
    QString binaryType;    // bytes of any length
    QString timestampType; // to the millisecond, from before 1970
    // Whether the database keeps characters beyond the BMP. Every driver here
    // does: text goes to one without W entry points (Debian's SQLite3) in
    // UTF-8, never through unixODBC's UCS-2 conversion, which has no room for
    // them.
    bool beyondBmp;
    // Whether one batch may hold several statements separated by semicolons.
    bool severalStatements;
    // Whether the driver's catalog functions see temporary tables, so that a
    // result of one can be written back.
    bool catalogSeesTemporaryTables;
    BlankBatch blankBatch;
    QString missingTableState; // the SQLSTATE of a missing table (null: not checked)
    QString wrongPasswordText; // part of the description of a refused login
    QString cancelledText;     // part of the driver's description of a cancel

    QString hexBytes(const QString& hex) const; // a binary literal
    QString quoted(const QString& identifier) const;
    QString concat(const QString& left, const QString& right) const;
    // An expression that waits that long, or a null string when the database
    // has none.
    QString sleep(double seconds) const;
    bool canSleep() const { return !sleep(1).isNull(); }
    // A table expression of the integers 1..count in a column x, for FROM.
    QString series(int count) const;
    // A table expression of one row that takes that long, for FROM.
    QString sleepingRow(double seconds) const;
};

const Backend& BackendOf(BackendKind kind);

// The connection string to a fresh test database, or a null string when the
// backend is not configured here (with why in reason).
QString ConnectionStringFor(BackendKind kind, const QString& scratchDir, QString& reason);

// CI=true: a backend that is not configured is a failure, not a skip.
bool RunningInCi();

// The connection opened on a fresh database of that kind, returning its
// connection string. A backend that is not configured skips the
// test (fails it under CI) and gives a null string; so does a failed open,
// which also fails the test.
QString OpenConnectionTo(Connection& connection, BackendKind kind, const QString& scratchDir);

// The number (0: none) and description of the Error the call throws.
struct Thrown {
    int number = 0;
    QString description;
};
Thrown ErrorOf(const std::function<void()>& call);

// Japanese text in full- and half-width forms, with a character outside the
// BMP when the backend can carry one.
QString JapaneseText(const Backend& backend);
// At least units UTF-16 units of repeated Japanese text and ASCII, so that a
// piece boundary of a long read can fall anywhere.
QString LongText(const Backend& backend, qsizetype units);

// One test body against every database: an open connection to a fresh
// database (temporary tables only, so parallel runs never meet), the shared
// command pointed at it and a document's result set.
class DatabaseTest : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override;

    const Backend& backend() const { return BackendOf(GetParam()); }
    // Runs sql into rs (closing it first).
    void Query(const QString& sql);
    // Runs a statement that returns no rows; fails the test if it does.
    void Exec(const QString& sql);

    QTemporaryDir scratch;
    QString connectionString;
    Connection connection;
    Command command;
    Recordset rs;
};

std::string BackendName(const ::testing::TestParamInfo<BackendKind>& info);

#define BRINDLE_ALL_BACKENDS(suite)                                                                \
    INSTANTIATE_TEST_SUITE_P(Databases, suite,                                                     \
                             ::testing::Values(::brindle::test::BackendKind::SQLite,               \
                                               ::brindle::test::BackendKind::PostgreSQL,           \
                                               ::brindle::test::BackendKind::MariaDB),             \
                             ::brindle::test::BackendName)

// The databases behind a server: logins, and statements that sleep for
// time-outs and cancels.
#define BRINDLE_SERVER_BACKENDS(suite)                                                             \
    INSTANTIATE_TEST_SUITE_P(Databases, suite,                                                     \
                             ::testing::Values(::brindle::test::BackendKind::PostgreSQL,           \
                                               ::brindle::test::BackendKind::MariaDB),             \
                             ::brindle::test::BackendName)

} // namespace brindle::test
