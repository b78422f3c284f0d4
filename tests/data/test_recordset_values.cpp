#include "test_backends.h"

#include "data/odbc_fetch.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <limits>
#include <vector>

namespace brindle::test {
namespace {

using RecordsetValues = DatabaseTest;

TEST_P(RecordsetValues, JapaneseTextSurvivesTheRoundTrip) {
    const QString text = JapaneseText(backend());
    Exec(QStringLiteral("CREATE TEMPORARY TABLE t (s varchar(50))"));
    Exec(u"INSERT INTO t (s) VALUES ('" + text + u"')");
    Query(QStringLiteral("SELECT s AS 名前 FROM t"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.FieldName(0), QStringLiteral("名前"));
    EXPECT_EQ(rs.Value(0), QVariant(text));
    EXPECT_EQ(rs.Value(QStringLiteral("名前")), QVariant(text));
}

TEST_P(RecordsetValues, NullIsNotAnEmptyString) {
    Exec(QStringLiteral("CREATE TEMPORARY TABLE t (k integer, s varchar(10), n integer)"));
    Exec(QStringLiteral("INSERT INTO t VALUES (1, NULL, NULL)"));
    Exec(QStringLiteral("INSERT INTO t VALUES (2, '', 0)"));
    Exec(QStringLiteral("INSERT INTO t VALUES (3, 'x', 7)"));
    Query(QStringLiteral("SELECT s, n FROM t ORDER BY k"));
    ASSERT_EQ(rs.RecordCount(), 3);

    EXPECT_TRUE(rs.Value(0).isNull());
    EXPECT_TRUE(rs.Value(1).isNull());
    rs.MoveNext();
    EXPECT_FALSE(rs.Value(0).isNull());
    EXPECT_EQ(rs.Value(0).typeId(), QMetaType::QString);
    EXPECT_TRUE(rs.Value(0).toString().isEmpty());
    EXPECT_EQ(rs.Value(1), QVariant::fromValue<qint64>(0));
    rs.MoveNext();
    EXPECT_EQ(rs.Value(0), QVariant(QStringLiteral("x")));
    EXPECT_EQ(rs.Value(1), QVariant::fromValue<qint64>(7));
}

struct TypedCase {
    const char* name;
    QString sqlType;
    QString literal;
    QVariant expected;
};

std::vector<TypedCase> TypedCases(const Backend& b) {
    const QDate leapDay(2024, 2, 29);
    const QDateTime stamp(leapDay, QTime(13, 45, 10, 250), Qt::UTC);
    const qint64 big = std::numeric_limits<qint64>::max();
    std::vector<TypedCase> cases = {
        {"smallest smallint", QStringLiteral("smallint"), QStringLiteral("-32768"),
         QVariant::fromValue<qint64>(-32768)},
        {"integer", QStringLiteral("integer"), QStringLiteral("2147483647"),
         QVariant::fromValue<qint64>(2147483647)},
        {"largest bigint", QStringLiteral("bigint"), QString::number(big),
         QVariant::fromValue<qint64>(big)},
        {"negative bigint", QStringLiteral("bigint"), QStringLiteral("-9223372036854775807"),
         QVariant::fromValue<qint64>(-big)},
        {"double", QStringLiteral("double precision"), QStringLiteral("2.5"), QVariant(2.5)},
        {"huge double", QStringLiteral("double precision"), QStringLiteral("-1.5e300"),
         QVariant(-1.5e300)},
        {"date", QStringLiteral("date"), QStringLiteral("'2024-02-29'"), QVariant(leapDay)},
        {"timestamp", b.timestampType, QStringLiteral("'2024-02-29 13:45:10.250'"),
         QVariant(stamp)},
        {"time", QStringLiteral("time"), QStringLiteral("'12:34:56'"), QVariant(QTime(12, 34, 56))},
        {"binary with a zero byte", b.binaryType, b.hexBytes(QStringLiteral("00ff10")),
         QVariant(QByteArray("\x00\xff\x10", 3))},
        {"short text", QStringLiteral("varchar(20)"), QStringLiteral("'abc'"),
         QVariant(QStringLiteral("abc"))},
    };
    if (b.kind != BackendKind::SQLite) {
        // Decimals come back as their exact digits, even beyond a double's
        // precision and beyond the size the driver declares (MariaDB's
        // decimal always has a declared size, up to 65 digits).
        cases.push_back({"decimal", QStringLiteral("numeric(20,4)"),
                         QStringLiteral("12345678901234.5678"),
                         QVariant(QStringLiteral("12345678901234.5678"))});
        cases.push_back({"long decimal",
                         b.kind == BackendKind::MariaDB ? QStringLiteral("decimal(41,1)")
                                                        : QStringLiteral("numeric"),
                         QStringLiteral("1234567890123456789012345678901234567890.5"),
                         QVariant(QStringLiteral("1234567890123456789012345678901234567890.5"))});
        cases.push_back({"real", QStringLiteral("real"), QStringLiteral("0.5"), QVariant(0.5)});
    }
    if (b.kind == BackendKind::MariaDB) {
        // Beyond a qint64: its digits.
        cases.push_back({"largest unsigned bigint", QStringLiteral("bigint unsigned"),
                         QStringLiteral("18446744073709551615"),
                         QVariant(QStringLiteral("18446744073709551615"))});
    }
    if (b.kind == BackendKind::SQLite) {
        // SQLite keeps decimals as numbers of its own; the driver hands them
        // over as text.
        cases.push_back({"decimal", QStringLiteral("decimal(20,4)"), QStringLiteral("1.25"),
                         QVariant(QStringLiteral("1.25"))});
    }
    return cases;
}

TEST_P(RecordsetValues, ValuesComeBackTyped) {
    int table = 0;
    for (const TypedCase& c : TypedCases(backend())) {
        SCOPED_TRACE(c.name);
        const QString name = u"t" + QString::number(++table);
        Exec(u"CREATE TEMPORARY TABLE " + name + u" (v " + c.sqlType + u')');
        Exec(u"INSERT INTO " + name + u" VALUES (" + c.literal + u')');
        Exec(u"INSERT INTO " + name + u" VALUES (NULL)");
        Query(u"SELECT v FROM " + name + u" ORDER BY v");
        ASSERT_EQ(rs.RecordCount(), 2);
        // NULL sorts first in SQLite and MariaDB, last in PostgreSQL.
        const qsizetype valueRow = rs.Value(0, 0).isNull() ? 1 : 0;
        EXPECT_TRUE(rs.Value(1 - valueRow, 0).isNull());
        const QVariant v = rs.Value(valueRow, 0);
        EXPECT_EQ(v.typeId(), c.expected.typeId());
        EXPECT_EQ(v, c.expected);
    }
}

TEST_P(RecordsetValues, LongTextIsReadWhole) {
    // 100 KB in a long text column and in one declared short, between short
    // rows, so both the piecewise reads and the re-read of a value too long
    // for its bound buffer are on the way.
    const QString longText = LongText(backend(), 100 * 1024);
    Exec(u"CREATE TEMPORARY TABLE t (k integer, a " + backend().longTextType + u", b " +
         backend().shortTextType + u')');
    Exec(QStringLiteral("INSERT INTO t VALUES (1, 'short', 'short')"));
    Exec(u"INSERT INTO t VALUES (2, '" + longText + u"', '" + longText + u"')");
    Exec(QStringLiteral("INSERT INTO t VALUES (3, 'end', 'end')"));
    Query(QStringLiteral("SELECT k, a, b FROM t ORDER BY k"));
    ASSERT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.Value(0, 1), QVariant(QStringLiteral("short")));
    EXPECT_EQ(rs.Value(1, 1).toString().size(), longText.size());
    EXPECT_EQ(rs.Value(1, 1), QVariant(longText));
    EXPECT_EQ(rs.Value(1, 2), QVariant(longText));
    EXPECT_EQ(rs.Value(2, 2), QVariant(QStringLiteral("end")));
}

TEST_P(RecordsetValues, TooLongValuesAtBlockEdgesAreReadAgainInPlace) {
    // Values too long for their declared size on the first and last row of a
    // block, twice in one block and on the last row, with every other row
    // checked for being read from its own place.
    const int block = static_cast<int>(odbc::kBlockRows);
    const int rows = 2 * block + 100;
    const QList<int> longRows{1, block, block + 1, block + 44, block + 45, 2 * block, rows};
    QString inList;
    for (int k : longRows)
        inList += (inList.isEmpty() ? u"" : u", ") + QString::number(k);
    const QString tail = LongText(backend(), 3000);
    Exec(u"CREATE TEMPORARY TABLE t (k integer, b " + backend().shortTextType + u')');
    Exec(u"INSERT INTO t WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
         u"WHERE x < " +
         QString::number(rows) + u") SELECT x, CASE WHEN x IN (" + inList + u") THEN " +
         backend().concat(u'\'' + tail + u'\'', QStringLiteral("x")) + u" ELSE " +
         backend().concat(QStringLiteral("'v'"), QStringLiteral("x")) + u" END FROM c");
    Query(QStringLiteral("SELECT k, b FROM t ORDER BY k"));
    ASSERT_EQ(rs.RecordCount(), rows);
    for (qsizetype row = 0; row < rows; ++row) {
        const int k = static_cast<int>(row) + 1;
        const QString number = QString::number(k);
        const QString expected = longRows.contains(k) ? QString(tail + number) : u'v' + number;
        ASSERT_EQ(rs.Value(row, 0), QVariant::fromValue<qint64>(k)) << "row " << row;
        ASSERT_EQ(rs.Value(row, 1), QVariant(expected)) << "row " << row;
    }
}

TEST_P(RecordsetValues, TextOfAnyLengthIsReadWholeBoundOrInPieces) {
    // Lengths about the pieces of a long read and twice them, in a long text
    // column, and text filling a bound column's declared length: MariaDB's
    // driver counts text beyond the BMP short and cuts it to its count.
    const std::vector<qsizetype> lengths{1,    2,    3,    4094, 4095,  4096,
                                         4097, 5824, 8190, 8193, 12000, 70000};
    // Exactly units long, without half a pair at the end.
    const auto textOf = [&](qsizetype units) {
        QString text = LongText(backend(), units).left(units);
        if (text.back().isHighSurrogate())
            text.back() = u'x';
        return text;
    };
    const QString bound = textOf(300);
    Exec(u"CREATE TEMPORARY TABLE t (k integer, a " + backend().longTextType +
         u", b varchar(300))");
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const QString text = textOf(lengths[i]);
        Exec(u"INSERT INTO t VALUES (" + QString::number(i) + u", '" + text + u"', '" + bound +
             u"')");
    }
    Query(QStringLiteral("SELECT k, a, b FROM t ORDER BY k"));
    ASSERT_EQ(rs.RecordCount(), static_cast<qsizetype>(lengths.size()));
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        SCOPED_TRACE(lengths[i]);
        const QString text = rs.Value(static_cast<qsizetype>(i), 1).toString();
        EXPECT_EQ(text, textOf(lengths[i]));
        EXPECT_EQ(rs.Value(static_cast<qsizetype>(i), 2), QVariant(bound));
    }
}

TEST_P(RecordsetValues, FieldsByNameIgnoreCase) {
    Exec(QStringLiteral("CREATE TEMPORARY TABLE t (id integer, label varchar(10))"));
    Exec(QStringLiteral("INSERT INTO t VALUES (1, 'one')"));
    Query(QStringLiteral("SELECT id, label FROM t"));
    ASSERT_EQ(rs.FieldCount(), 2);
    EXPECT_EQ(rs.FieldName(1), QStringLiteral("label"));
    EXPECT_EQ(rs.Value(QStringLiteral("LABEL")), QVariant(QStringLiteral("one")));
    EXPECT_EQ(rs.Value(QStringLiteral("Id")), QVariant::fromValue<qint64>(1));

    EXPECT_EQ(ErrorOf([&] { rs.Value(QStringLiteral("missing")); }).number, 3265);
    EXPECT_EQ(ErrorOf([&] { rs.Value(2); }).number, 3265);
    EXPECT_EQ(ErrorOf([&] { rs.FieldName(-1); }).number, 3265);
}

BRINDLE_ALL_BACKENDS(RecordsetValues);

} // namespace
} // namespace brindle::test
