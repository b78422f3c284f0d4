#include "test_backends.h"

#include <QRegularExpression>

#include <functional>

namespace brindle::test {
namespace {

using RecordsetLifecycle = DatabaseTest;

TEST_P(RecordsetLifecycle, OpenOnAnOpenRecordsetIsRefusedAndKeepsTheRows) {
    Query(QStringLiteral("SELECT 1 AS n"));
    command.setCommandText(QStringLiteral("SELECT 2 AS n"));
    const Thrown thrown = ErrorOf([&] { rs.Open(command); });
    EXPECT_EQ(thrown.number, 3705);
    EXPECT_EQ(thrown.description,
              QStringLiteral("オブジェクトが開いている場合は、操作は許可されません。"));
    ASSERT_EQ(rs.State(), 1);
    EXPECT_EQ(rs.Value(0).toLongLong(), 1);
}

TEST_P(RecordsetLifecycle, ReopensAfterClose) {
    Query(QStringLiteral("SELECT 1 AS n"));
    rs.Close();
    EXPECT_EQ(rs.State(), 0);
    EXPECT_EQ(rs.FieldCount(), 0);
    command.setCommandText(QStringLiteral("SELECT 2 AS n"));
    rs.Open(command);
    ASSERT_EQ(rs.State(), 1);
    EXPECT_EQ(rs.Value(0).toLongLong(), 2);
}

TEST_P(RecordsetLifecycle, PendingEditsKeepItOpenUntilCancelled) {
    Query(QStringLiteral("SELECT 1 AS n"));
    rs.PendingEdits().push_back({0, 0, QVariant::fromValue<qint64>(5)});
    EXPECT_EQ(ErrorOf([&] { rs.Close(); }).number, 3705);
    EXPECT_EQ(rs.State(), 1);
    rs.CancelUpdate();
    EXPECT_TRUE(rs.PendingEdits().empty());
    rs.Close();
    EXPECT_EQ(rs.State(), 0);
}

TEST_P(RecordsetLifecycle, SyntaxErrorCarriesSqlState) {
    command.setCommandText(QStringLiteral("SELEC 1"));
    const Thrown thrown = ErrorOf([&] { rs.Open(command); });
    EXPECT_NE(thrown.number, 0);
    EXPECT_TRUE(
        thrown.description.contains(QRegularExpression(QStringLiteral("^\\[[0-9A-Z]{5}\\] "))))
        << thrown.description.toStdString();
    EXPECT_TRUE(thrown.description.contains(QStringLiteral("SELEC")) ||
                thrown.description.contains(QStringLiteral("syntax")))
        << thrown.description.toStdString();
    EXPECT_EQ(rs.State(), 0);
    // The connection is still good for the next batch.
    Query(QStringLiteral("SELECT 3 AS n"));
    EXPECT_EQ(rs.Value(0).toLongLong(), 3);
}

TEST_P(RecordsetLifecycle, MissingTableNamesIt) {
    command.setCommandText(QStringLiteral("SELECT * FROM brindle_no_such_table"));
    const Thrown thrown = ErrorOf([&] { rs.Open(command); });
    EXPECT_TRUE(thrown.description.contains(QStringLiteral("brindle_no_such_table")))
        << thrown.description.toStdString();
    const QString state = backend().missingTableState;
    if (!state.isNull()) {
        EXPECT_TRUE(thrown.description.startsWith(u'[' + state + u"] "))
            << thrown.description.toStdString();
    }
}

TEST_P(RecordsetLifecycle, ClosedConnectionIsRefused) {
    connection.Close();
    command.setCommandText(QStringLiteral("SELECT 1"));
    EXPECT_EQ(ErrorOf([&] { rs.Open(command); }).number, 3709);
    EXPECT_EQ(rs.State(), 0);
}

BRINDLE_ALL_BACKENDS(RecordsetLifecycle);

// Without a database: what a result set refuses before it has been opened.
TEST(RecordsetWithoutDatabase, EveryMemberButStateFailsWhileClosed) {
    Recordset rs;
    EXPECT_EQ(rs.State(), 0);
    EXPECT_EQ(rs.FieldCount(), 0);
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"Close",
         [&] {
             rs.Close();
         }},
        {"CancelUpdate",
         [&] {
             rs.CancelUpdate();
         }},
        {"EOF",
         [&] {
             rs.IsEOF();
         }},
        {"BOF",
         [&] {
             rs.IsBOF();
         }},
        {"MoveFirst",
         [&] {
             rs.MoveFirst();
         }},
        {"MovePrevious",
         [&] {
             rs.MovePrevious();
         }},
        {"MoveNext",
         [&] {
             rs.MoveNext();
         }},
        {"MoveLast",
         [&] {
             rs.MoveLast();
         }},
        {"AbsolutePosition",
         [&] {
             rs.AbsolutePosition();
         }},
        {"RecordCount",
         [&] {
             rs.RecordCount();
         }},
        {"FieldName",
         [&] {
             rs.FieldName(0);
         }},
        {"Value",
         [&] {
             rs.Value(0);
         }},
        {"Value by name",
         [&] {
             rs.Value(QStringLiteral("n"));
         }},
        {"Value at",
         [&] {
             rs.Value(0, 0);
         }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        const Thrown thrown = ErrorOf(call);
        EXPECT_EQ(thrown.number, 3704);
        EXPECT_EQ(thrown.description,
                  QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。"));
    }
}

TEST(RecordsetWithoutDatabase, CommandNeedsAnOpenConnectionAndText) {
    Recordset rs;
    Command command;
    command.setCommandText(QStringLiteral("SELECT 1"));
    EXPECT_EQ(ErrorOf([&] { rs.Open(command); }).number, 3709) << "no connection";
    Connection closed;
    command.setActiveConnection(&closed);
    EXPECT_EQ(ErrorOf([&] { rs.Open(command); }).number, 3709) << "a closed connection";
    EXPECT_EQ(rs.State(), 0);
}

} // namespace
} // namespace brindle::test
