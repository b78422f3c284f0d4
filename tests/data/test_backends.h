#pragma once

#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "core/error.h"
#include "support/print_qt.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace brindle::test {

enum class BackendKind { SQLite, PostgreSQL };

// How a test reaches one kind of database and where their SQL differs.
struct Backend {
    BackendKind kind;
    const char* name;      // for test names
    const char* dbmsName;  // what the driver reports
    QString shortTextType; // a declared-short text column that may hold more
    // unixODBC converts text for drivers without W entry points (Debian's
    // SQLite3) through UCS-2, which has no room for characters outside the
    // BMP; only drivers with W entry points are given those.
    bool beyondBmp;
    QString hexBytes(const QString& hex) const; // a binary literal
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
    bool isPostgres() const { return GetParam() == BackendKind::PostgreSQL; }

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
                                               ::brindle::test::BackendKind::PostgreSQL),          \
                             ::brindle::test::BackendName)

} // namespace brindle::test
