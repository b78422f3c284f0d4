#include "test_backends.h"

#include <functional>
#include <vector>

namespace brindle::test {
namespace {

using RecordsetNavigation = DatabaseTest;

enum class Move { First, Previous, Next, Last };

void Do(Recordset& rs, Move move) {
    switch (move) {
    case Move::First:
        rs.MoveFirst();
        break;
    case Move::Previous:
        rs.MovePrevious();
        break;
    case Move::Next:
        rs.MoveNext();
        break;
    case Move::Last:
        rs.MoveLast();
        break;
    }
}

struct Step {
    const char* what;
    Move move;
    int error;          // 0, or the number the move fails with
    qsizetype position; // AbsolutePosition afterwards
    bool bof;
    bool eof;
};

TEST_P(RecordsetNavigation, MovesStopAtBothEnds) {
    Exec(QStringLiteral("CREATE TEMPORARY TABLE t (n integer)"));
    for (int n = 1; n <= 3; ++n)
        Exec(u"INSERT INTO t VALUES (" + QString::number(n) + u')');
    Query(QStringLiteral("SELECT n FROM t ORDER BY n"));
    ASSERT_EQ(rs.AbsolutePosition(), 1) << "a new result stands on its first record";
    ASSERT_FALSE(rs.IsBOF());
    ASSERT_FALSE(rs.IsEOF());

    const Step steps[] = {
        {"back from the first record", Move::Previous, 0, 0, true, false},
        {"back again at BOF", Move::Previous, 3021, 0, true, false},
        {"on from BOF", Move::Next, 0, 1, false, false},
        {"to the last", Move::Last, 0, 3, false, false},
        {"on from the last record", Move::Next, 0, 0, false, true},
        {"on again at EOF", Move::Next, 3021, 0, false, true},
        {"back from EOF", Move::Previous, 0, 3, false, false},
        {"to the first", Move::First, 0, 1, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(ErrorOf([&] { Do(rs, s.move); }).number, s.error);
        EXPECT_EQ(rs.AbsolutePosition(), s.position);
        EXPECT_EQ(rs.IsBOF(), s.bof);
        EXPECT_EQ(rs.IsEOF(), s.eof);
        if (s.position == 0) {
            EXPECT_EQ(ErrorOf([&] { rs.Value(0); }).number, 3021) << "no current record";
        } else {
            EXPECT_EQ(rs.Value(0), QVariant::fromValue<qint64>(s.position));
        }
    }
}

TEST_P(RecordsetNavigation, EmptyResultIsOpenAtBofAndEof) {
    Exec(QStringLiteral("CREATE TEMPORARY TABLE t (n integer, s varchar(10))"));
    Query(QStringLiteral("SELECT n, s FROM t WHERE 1 = 0"));
    EXPECT_EQ(rs.State(), 1);
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_EQ(rs.AbsolutePosition(), 0);
    EXPECT_EQ(rs.FieldCount(), 2);
    EXPECT_EQ(rs.FieldName(1), QStringLiteral("s"));
    for (Move m : {Move::First, Move::Previous, Move::Next, Move::Last}) {
        SCOPED_TRACE(static_cast<int>(m));
        EXPECT_EQ(ErrorOf([&] { Do(rs, m); }).number, 3021);
        EXPECT_TRUE(rs.IsBOF() && rs.IsEOF());
    }
    EXPECT_EQ(ErrorOf([&] { rs.Value(0); }).number, 3021);
}

TEST_P(RecordsetNavigation, StatementsWithoutRowsLeaveItClosed) {
    const QString statements[] = {
        QStringLiteral("CREATE TEMPORARY TABLE t (n integer)"),
        QStringLiteral("INSERT INTO t VALUES (1)"),
        QStringLiteral("UPDATE t SET n = 2 WHERE n = 1"),
        QStringLiteral("DELETE FROM t WHERE n = 99"), // touches nothing
    };
    for (const QString& sql : statements) {
        SCOPED_TRACE(sql.toStdString());
        command.setCommandText(sql);
        ASSERT_EQ(ErrorOf([&] { rs.Open(command); }).number, 0);
        EXPECT_EQ(rs.State(), 0);
        EXPECT_EQ(ErrorOf([&] { rs.MoveFirst(); }).number, 3704);
        EXPECT_EQ(ErrorOf([&] { rs.Close(); }).number, 3704);
    }
    Query(QStringLiteral("SELECT n FROM t"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(0), QVariant::fromValue<qint64>(2));
}

TEST_P(RecordsetNavigation, ThousandRowsEndToEnd) {
    Exec(QStringLiteral("CREATE TEMPORARY TABLE t (n integer, label varchar(20))"));
    Exec(u"INSERT INTO t WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n "
         u"< 1000) SELECT n, " +
         backend().concat(QStringLiteral("'row '"), QStringLiteral("n")) + u" FROM s");
    Query(QStringLiteral("SELECT n, label FROM t ORDER BY n"));
    ASSERT_EQ(rs.RecordCount(), 1000);

    rs.MoveLast();
    EXPECT_EQ(rs.AbsolutePosition(), 1000);
    EXPECT_EQ(rs.Value(0), QVariant::fromValue<qint64>(1000));
    EXPECT_EQ(rs.Value(QStringLiteral("label")), QVariant(QStringLiteral("row 1000")));
    rs.MoveFirst();
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    EXPECT_EQ(rs.Value(0), QVariant::fromValue<qint64>(1));

    // Every row in order, across the fetch blocks, and random access without moving.
    qsizetype seen = 0;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ++seen;
        if (rs.Value(0) != QVariant::fromValue<qint64>(seen)) {
            ADD_FAILURE() << "record " << seen << " holds " << rs.Value(0).toLongLong();
            break;
        }
    }
    EXPECT_EQ(seen, 1000);
    EXPECT_EQ(rs.Value(256, 1), QVariant(QStringLiteral("row 257")));
    EXPECT_EQ(rs.AbsolutePosition(), 0) << "Value(row, field) leaves the position alone";
    EXPECT_EQ(ErrorOf([&] { rs.Value(1000, 0); }).number, 3021);
}

BRINDLE_ALL_BACKENDS(RecordsetNavigation);

} // namespace
} // namespace brindle::test
