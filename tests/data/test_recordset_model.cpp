#include "data/grid_cell_text.h"
#include "data/grid_sizing.h"
#include "data/recordset_model.h"
#include "data/test_backends.h"

#include <QBrush>
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QTime>

#include <memory>
#include <vector>

namespace brindle::test {
namespace {

struct CellCase {
    const char* what;
    QVariant value;
    QString text;
};

TEST(GridCellText, EveryKindOnOneLine) {
    const QString ellipsis = QStringLiteral("…");
    const QString longText = QString(GridTextLimit + 5, u'a');
    // A character outside the BMP straddles the cut.
    const QString pairAtCut = QString(GridTextLimit - 1, u'b') + QStringLiteral("\U0001F600xyz");
    const QByteArray longBytes(GridBytesLimit + 1, '\x5a');
    const std::vector<CellCase> cases = {
        {"NULL", QVariant(), QStringLiteral("(NULL)")},
        {"empty string", QVariant(QString()), QString()},
        {"the word NULL", QVariant(QStringLiteral("NULL")), QStringLiteral("NULL")},
        {"integer", QVariant::fromValue<qint64>(-9223372036854775807LL),
         QStringLiteral("-9223372036854775807")},
        {"double", QVariant(2.5), QStringLiteral("2.5")},
        {"tiny double", QVariant(0.1), QStringLiteral("0.1")},
        {"huge double", QVariant(-1.5e300), QStringLiteral("-1.5e+300")},
        {"decimal digits", QVariant(QStringLiteral("12345678901234.5678")),
         QStringLiteral("12345678901234.5678")},
        {"date", QVariant(QDate(2024, 2, 29)), QStringLiteral("2024-02-29")},
        {"early date", QVariant(QDate(9, 1, 2)), QStringLiteral("0009-01-02")},
        {"time", QVariant(QTime(7, 4, 5)), QStringLiteral("07:04:05")},
        {"time with milliseconds", QVariant(QTime(7, 4, 5, 30)), QStringLiteral("07:04:05.030")},
        {"timestamp", QVariant(QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC)),
         QStringLiteral("2024-03-31 02:30:00")},
        {"timestamp with milliseconds",
         QVariant(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 10, 250), Qt::UTC)),
         QStringLiteral("2024-02-29 13:45:10.250")},
        {"binary", QVariant(QByteArray("\x00\xff\x10", 3)), QStringLiteral("0x00FF10")},
        {"empty binary", QVariant(QByteArray("")), QStringLiteral("0x")},
        {"long binary", QVariant(longBytes),
         QStringLiteral("0x") + QStringLiteral("5A").repeated(GridBytesLimit) + ellipsis},
        {"line breaks", QVariant(QStringLiteral("a\r\nb\nc\rd\te")), QStringLiteral("a b c d e")},
        {"long text", QVariant(longText), QString(GridTextLimit, u'a') + ellipsis},
        {"text exactly at the limit", QVariant(QString(GridTextLimit, u'c')),
         QString(GridTextLimit, u'c')},
        {"surrogate pair at the cut", QVariant(pairAtCut),
         QString(GridTextLimit - 1, u'b') + ellipsis},
    };
    for (const CellCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GridCellText(c.value), c.text);
    }
}

TEST(GridToolTipText, TheWholeValueWithItsOwnLinesUpToALimit) {
    const QString ellipsis = QStringLiteral("…");
    const QString beyondCell = QString(GridTextLimit + 500, u'長');
    const QString pairAtCut = QString(GridToolTipLimit - 1, u'b') + QStringLiteral("\U0001F600xyz");
    QStringList lines;
    for (qsizetype i = 0; i < GridToolTipLines + 5; ++i)
        lines << QStringLiteral("行%1").arg(i);
    const QString allLines = lines.join(u'\n');
    const QString fittingLines = lines.mid(0, GridToolTipLines).join(u'\n');
    const QByteArray bytes(GridBytesLimit + 10, '\x0f');
    const QByteArray tooManyBytes(GridToolTipBytes + 1, '\x0f');
    const std::vector<CellCase> cases = {
        {"NULL", QVariant(), QStringLiteral("(NULL)")},
        {"line breaks of every kind", QVariant(QStringLiteral("a\r\nb\rc\nd\te")),
         QStringLiteral("a\nb\nc\nd\te")},
        {"longer than a cell shows", QVariant(beyondCell), beyondCell},
        {"longer than a tool tip shows", QVariant(QString(GridToolTipLimit + 1, u'x')),
         QString(GridToolTipLimit, u'x') + ellipsis},
        {"surrogate pair at the cut", QVariant(pairAtCut),
         QString(GridToolTipLimit - 1, u'b') + ellipsis},
        {"too many lines", QVariant(allLines), fittingLines + ellipsis},
        {"as many lines as fit", QVariant(fittingLines), fittingLines},
        {"binary longer than a cell shows", QVariant(bytes),
         QStringLiteral("0x") + QStringLiteral("0F").repeated(bytes.size())},
        {"binary longer than a tool tip shows", QVariant(tooManyBytes),
         QStringLiteral("0x") + QStringLiteral("0F").repeated(GridToolTipBytes) + ellipsis},
    };
    for (const CellCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GridToolTipText(c.value), c.text);
    }
}

// Values of one record of every kind, in fields named after their kind.
class RecordsetModelTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Exec(u"CREATE TEMPORARY TABLE t (k integer, n integer, f double precision, s varchar(20), "
             u"d date, ts " +
             backend().timestampType + u", b " + backend().binaryType + u')');
        Exec(u"INSERT INTO t VALUES (1, 42, 2.5, 'text', '2024-02-29', "
             u"'2024-02-29 13:45:10', " +
             backend().hexBytes(QStringLiteral("00ff")) + u')');
        Exec(QStringLiteral("INSERT INTO t VALUES (2, NULL, NULL, NULL, NULL, NULL, NULL)"));
        Exec(QStringLiteral("INSERT INTO t VALUES (3, 0, 0, '', NULL, NULL, NULL)"));
        Query(QStringLiteral("SELECT n AS 数, f, s, d, ts, b FROM t ORDER BY k"));
        model.Bind(&rs);
    }

    QVariant At(int row, int column, int role = Qt::DisplayRole) const {
        return model.data(model.index(row, column), role);
    }

    RecordsetModel model;
};

TEST_P(RecordsetModelTest, HeaderIsTheFieldNamesAndRowsTheRecords) {
    ASSERT_EQ(model.columnCount(), 6);
    EXPECT_EQ(model.rowCount(), 3);
    const QStringList names = {QStringLiteral("数"), QStringLiteral("f"),  QStringLiteral("s"),
                               QStringLiteral("d"),  QStringLiteral("ts"), QStringLiteral("b")};
    for (int column = 0; column < names.size(); ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), names[column]);
    }
    EXPECT_EQ(model.headerData(2, Qt::Vertical).toInt(), 3) << "records count from 1";
}

TEST_P(RecordsetModelTest, ShowsEachKindWithoutMovingTheRecord) {
    const struct {
        const char* what;
        int column;
        QString text;
    } cases[] = {
        {"integer", 0, QStringLiteral("42")},
        {"double", 1, QStringLiteral("2.5")},
        {"text", 2, QStringLiteral("text")},
        {"date", 3, QStringLiteral("2024-02-29")},
        {"timestamp", 4, QStringLiteral("2024-02-29 13:45:10")},
        {"binary", 5, QStringLiteral("0x00FF")},
    };
    rs.MoveLast();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(At(0, c.column).toString(), c.text);
        EXPECT_EQ(At(0, c.column, Qt::ToolTipRole).toString(), c.text);
        EXPECT_FALSE(At(0, c.column, Qt::ForegroundRole).isValid());
        EXPECT_FALSE(At(0, c.column, Qt::FontRole).isValid());
    }
    EXPECT_EQ(rs.AbsolutePosition(), 3);
}

TEST_P(RecordsetModelTest, NullDiffersFromAnEmptyString) {
    // Row 1 holds NULLs, row 2 an empty string and zeros.
    for (int column = 0; column < 6; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(At(1, column).toString(), QStringLiteral("(NULL)"));
        EXPECT_TRUE(At(1, column, Qt::EditRole).isNull());
        EXPECT_FALSE(At(1, column, Qt::ToolTipRole).isValid()) << "nothing more to show";
        EXPECT_EQ(At(1, column, Qt::ForegroundRole).value<QBrush>().color(), QColor(128, 128, 128));
        const QFont font = At(1, column, Qt::FontRole).value<QFont>();
        EXPECT_TRUE(font.italic());
        EXPECT_EQ(font.resolveMask(), static_cast<uint>(QFont::StyleResolved))
            << "the grid's own family and size still apply";
    }
    EXPECT_EQ(At(2, 2).toString(), QString());
    EXPECT_FALSE(At(2, 2, Qt::EditRole).isNull());
    EXPECT_FALSE(At(2, 2, Qt::FontRole).isValid());
    EXPECT_EQ(At(2, 0).toString(), QStringLiteral("0"));
}

TEST_P(RecordsetModelTest, NumbersAlignRightAndTextLeft) {
    const int right = static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    const int left = static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    const int expected[] = {right, right, left, left, left, left};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 6; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            EXPECT_EQ(At(row, column, Qt::TextAlignmentRole).toInt(), expected[column]);
        }
    }
}

TEST_P(RecordsetModelTest, TheHeaderNamesTheWidestRowsOfNumbersDatesAndTimes) {
    // 数, f, d and ts are measured over the whole result; s and b from a sample.
    const bool measured[] = {true, true, false, true, true, false};
    for (int column = 0; column < 6; ++column) {
        SCOPED_TRACE(column);
        const QVariant rows = model.headerData(column, Qt::Horizontal, GridWidestRowsRole);
        ASSERT_EQ(rows.isValid(), measured[column]);
        if (measured[column]) {
            EXPECT_EQ(rows.value<QList<int>>().value(0), 1) << "the NULL first";
        }
    }
    EXPECT_TRUE(
        model.headerData(0, Qt::Horizontal, GridWidestRowsRole).value<QList<int>>().contains(0))
        << "42, the longest";
}

TEST_P(RecordsetModelTest, AClosedResultSetShowsAnEmptyGrid) {
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    rs.Close();
    // At once, not only when it is bound again: no old header over blank cells.
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_FALSE(At(0, 0).isValid());
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, GridWidestRowsRole).isValid());

    model.Bind(&rs);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);

    Recordset neverOpened;
    model.Bind(&neverOpened);
    EXPECT_EQ(model.columnCount(), 0);
    model.Bind(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_P(RecordsetModelTest, AReopenedResultSetShowsItsNewShapeWhenBoundAgain) {
    Query(QStringLiteral("SELECT k FROM t WHERE k = 1"));
    // It closed on the way: empty until it is bound again.
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_FALSE(At(0, 0).isValid());
    model.Bind(&rs);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("k"));
    EXPECT_EQ(At(0, 0).toString(), QStringLiteral("1"));
}

TEST_P(RecordsetModelTest, AModelThatIsGoneIsNotToldOfTheClose) {
    auto other = std::make_unique<RecordsetModel>();
    other->Bind(&rs);
    other.reset();
    EXPECT_EQ(ErrorOf([this] { rs.Close(); }).number, 0);
    EXPECT_EQ(rs.State(), 0);
}

TEST_P(RecordsetModelTest, AnEmptyResultHasHeadersAndNoRows) {
    Query(QStringLiteral("SELECT n, s FROM t WHERE 1 = 0"));
    model.Bind(&rs);
    EXPECT_EQ(model.rowCount(), 0);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("s"));
    EXPECT_FALSE(At(0, 0).isValid());
}

TEST_P(RecordsetModelTest, AResultThatCannotBeWrittenBackIsReadOnly) {
    Query(QStringLiteral("SELECT n + 0 AS n FROM t ORDER BY k"));
    model.Bind(&rs);
    EXPECT_FALSE(model.Editable());
    const QModelIndex cell = model.index(0, 0);
    EXPECT_FALSE(model.flags(cell).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(model.flags(cell).testFlag(Qt::ItemIsSelectable));
    EXPECT_FALSE(model.setData(cell, QVariant::fromValue<qint64>(7)));
    EXPECT_EQ(At(0, 0).toString(), QStringLiteral("42"));
}

BRINDLE_ALL_BACKENDS(RecordsetModelTest);

} // namespace
} // namespace brindle::test
