#include "data/command.h"
#include "data/odbc_column_values.h"
#include "data/recordset.h"
#include "data/test_backends.h"
#include "editor/rich_text_editor.h"
#include "main_window_fixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// The main window on a database of each kind with one document, its query
// run as F5 runs it.
class GridDisplay : public MainWindowTest, public testing::WithParamInterface<BackendKind> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(scratch.isValid());
        if (OpenConnectionTo(*gcnDB, GetParam(), scratch.path()).isNull())
            return;
        Open().LoadNewDoc();
        doc = window->ActiveForm();
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override {
        QToolTip::hideText();
        MainWindowTest::TearDown();
    }

    const Backend& backend() const { return BackendOf(GetParam()); }
    QTableView* grid() const { return doc->grdQry(); }
    QModelIndex Cell(int row, int column) const { return grid()->model()->index(row, column); }

    // A statement that returns no rows, on the window's connection.
    static void Exec(const QString& sql) {
        Recordset none;
        Command command;
        command.setActiveConnection(gcnDB.get());
        command.setCommandText(sql);
        const Thrown thrown = ErrorOf([&] { none.Open(command); });
        ASSERT_EQ(thrown.number, 0)
            << sql.toStdString() << ": " << thrown.description.toStdString();
    }
    void Run(const QString& script) {
        doc->txtQry()->setText(script);
        window->mnuQryExec_Click();
    }

    // The tool tip the pointer resting on the cell brings up, as plain text;
    // empty when none comes.
    QString ToolTipAt(int row, int column) {
        QToolTip::hideText();
        // A tip goes a moment after it is told to.
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 10000));
        grid()->scrollTo(Cell(row, column));
        const QPoint inside = grid()->visualRect(Cell(row, column)).center();
        QHelpEvent help(QEvent::ToolTip, inside, grid()->viewport()->mapToGlobal(inside));
        QApplication::sendEvent(grid()->viewport(), &help);
        if (!QToolTip::isVisible())
            return {};
        QTextDocument tip;
        tip.setHtml(QToolTip::text());
        return tip.toPlainText();
    }

    QTemporaryDir scratch;
    frmSQL* doc = nullptr;
};

TEST_P(GridDisplay, NumbersDatesAndTimesFitTheirWidestValueAnywhereInTheResult) {
    Exec(u"CREATE TEMPORARY TABLE w (k integer, n bigint, f double precision, d date, ts "_s +
         backend().timestampType + u", amount numeric(30, 5), s varchar(400))"_s);
    // A hundred and fifty narrow rows, then the wide ones past the rows a
    // text column is sized from.
    QStringList rows;
    for (int i = 1; i <= 150; ++i)
        rows << u"(%1, %1, 1.5, '2024-01-01', '2024-01-01 00:00:00', 1.5, 'x')"_s.arg(i);
    Exec(u"INSERT INTO w VALUES "_s + rows.join(u", "_s));
    const QString longText = LongText(backend(), 300);
    Exec(u"INSERT INTO w VALUES (151, -9007199254740993, -1.2345678901234567e-300, "
         u"'2024-02-29', '2024-02-29 13:45:10.250', -1234567890123456789012.12345, '"_s +
         longText + u"')"_s);
    Exec(u"INSERT INTO w VALUES (152, NULL, NULL, NULL, NULL, NULL, NULL)"_s);

    Run(u"SELECT n AS 番号, f, d AS 日付, ts, amount, s AS 備考 FROM w ORDER BY k"_s);
    ASSERT_TRUE(doubles.messages.shown.empty()) << doubles.messages.shown[0].text.toStdString();
    ASSERT_EQ(grid()->model()->rowCount(), 152);
    for (int column = 0; column < 5; ++column) {
        SCOPED_TRACE(grid()->model()->headerData(column, Qt::Horizontal).toString().toStdString());
        ASSERT_NE(doc->RecordSet().FieldKind(column), odbc::ColumnKind::Text);
        for (int row = 0; row < 152; ++row) {
            ASSERT_LE(grid()->sizeHintForIndex(Cell(row, column)).width(),
                      grid()->columnWidth(column))
                << "row " << row << ": " << Cell(row, column).data().toString().toStdString();
        }
        EXPECT_EQ(ToolTipAt(150, column), QString()) << "shown whole, so no tool tip";
    }

    // Text stays within its limit, sized from the first rows; what it cuts
    // short the tool tip shows.
    const int textLimit = grid()->fontMetrics().averageCharWidth() * 40;
    EXPECT_LE(grid()->columnWidth(5),
              std::max(textLimit, grid()->horizontalHeader()->sectionSizeHint(5)));
    EXPECT_LT(grid()->columnWidth(5), grid()->sizeHintForIndex(Cell(150, 5)).width());
    EXPECT_EQ(ToolTipAt(150, 5), longText);
    EXPECT_EQ(ToolTipAt(0, 5), QString());
    EXPECT_EQ(ToolTipAt(151, 5), QString()) << "NULL";
}

TEST_P(GridDisplay, AnElidedTextShowsWholeInItsToolTip) {
    const QString japanese = JapaneseText(backend());
    // Line breaks stay lines, and what looks like markup is text.
    const QString whole = japanese.repeated(4) + u"\n<b>"_s + japanese + u"</b> &amp;"_s;
    Exec(u"CREATE TEMPORARY TABLE j (s varchar(400), n integer)"_s);
    Exec(u"INSERT INTO j VALUES ('"_s + whole + u"', 1), ('短い', 2)"_s);
    Run(u"SELECT s AS 本文, n FROM j ORDER BY n"_s);
    ASSERT_EQ(grid()->model()->rowCount(), 2);

    EXPECT_EQ(ToolTipAt(0, 0), whole);
    EXPECT_EQ(ToolTipAt(1, 0), QString()) << "short enough to be seen";
    EXPECT_EQ(ToolTipAt(0, 1), QString());

    // Made wide enough, the cell shows it all (on one line): no tool tip.
    grid()->setColumnWidth(0, grid()->sizeHintForIndex(Cell(0, 0)).width() + 20);
    EXPECT_EQ(ToolTipAt(0, 0), QString());
    // Made narrow, even the short one is cut.
    grid()->setColumnWidth(0, 12);
    EXPECT_EQ(ToolTipAt(1, 0), u"短い"_s);
}

TEST_P(GridDisplay, AFailedRunLeavesNoColumnsAndNoRows) {
    const auto expectEmpty = [this] {
        EXPECT_EQ(grid()->model()->columnCount(), 0);
        EXPECT_EQ(grid()->model()->rowCount(), 0);
        EXPECT_EQ(grid()->horizontalHeader()->count(), 0);
        EXPECT_EQ(grid()->verticalHeader()->count(), 0);
    };
    Run(u"SELECT 1 AS a, '"_s + JapaneseText(backend()) + u"' AS 名前"_s);
    ASSERT_EQ(grid()->model()->columnCount(), 2);
    ASSERT_EQ(grid()->model()->rowCount(), 1);

    Run(u"SELECT * FROM no_such_table"_s);
    EXPECT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(window->PanelText(u"MESSAGE"_s), u"クエリ バッチはエラーで完了しました。"_s);
    expectEmpty();

    // A failing second batch: the first one's result went before it ran.
    Run(u"SELECT 1 AS a, 2 AS b\nGO\nSELECT * FROM no_such_table"_s);
    EXPECT_EQ(doubles.messages.shown.size(), 2u);
    expectEmpty();

    // The toolbar has nothing to move, and the next run shows its result.
    window->tlbGrid_ButtonClick(u"END"_s);
    EXPECT_EQ(doubles.messages.shown.size(), 2u);
    Run(u"SELECT 1 AS a, 2 AS b, 3 AS c"_s);
    EXPECT_EQ(grid()->model()->columnCount(), 3);
    EXPECT_EQ(grid()->model()->rowCount(), 1);
    EXPECT_EQ(grid()->currentIndex().row(), 0);
}

BRINDLE_ALL_BACKENDS(GridDisplay);

} // namespace
} // namespace brindle::test
