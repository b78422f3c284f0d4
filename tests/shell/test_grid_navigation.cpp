#include "sqlite_window_fixture.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <vector>

namespace brindle::test {
namespace {

class GridNavigation : public SqliteWindowTest {
protected:
    void SetUp() override {
        SqliteWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        Open().LoadNewDoc();
        doc = window->ActiveForm();
        ASSERT_NE(doc, nullptr);
    }

    QTableView* grid() const { return doc->grdQry(); }

    // The rows the grid shows selected, from 0.
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        const QModelIndexList selected = grid()->selectionModel()->selectedRows();
        for (const QModelIndex& index : selected)
            rows.push_back(index.row());
        return rows;
    }

    bool RowInView(int row) const {
        const QRect cell = grid()->visualRect(grid()->model()->index(row, 0));
        return cell.isValid() && grid()->viewport()->rect().intersects(cell);
    }

    // The result set on record `position` (from 1), and the grid with it.
    void StandOn(qsizetype position) {
        doc->RecordSet().MoveTo(position - 1);
        doc->SyncGridToRecord();
    }

    // Where the record and the grid stand; no key shows a message.
    void ExpectAt(qsizetype position, bool bof, bool eof) {
        Recordset& rs = doc->RecordSet();
        EXPECT_EQ(rs.AbsolutePosition(), position);
        EXPECT_EQ(rs.IsBOF(), bof);
        EXPECT_EQ(rs.IsEOF(), eof);
        if (position == 0) {
            EXPECT_TRUE(SelectedRows().empty()) << "nothing selected at BOF or EOF";
            EXPECT_FALSE(grid()->currentIndex().isValid());
        } else {
            EXPECT_EQ(SelectedRows(), std::vector<int>{static_cast<int>(position - 1)});
            EXPECT_EQ(grid()->currentIndex().row(), position - 1);
            EXPECT_TRUE(RowInView(static_cast<int>(position - 1)));
        }
        EXPECT_TRUE(doubles.messages.shown.empty());
    }

    frmSQL* doc = nullptr;
};

struct Press {
    const char* key;
    qsizetype position; // afterwards, from 1; 0 at BOF or EOF
    bool bof;
    bool eof;
};

struct Walk {
    const char* what;
    qsizetype start;
    std::vector<Press> presses;
};

TEST_F(GridNavigation, ButtonsMoveTheRecordAndTheGridFollows) {
    const std::vector<Walk> walks = {
        {"ten back from record 4 ends before the first",
         4,
         {{"DBL_BACK", 0, true, false}, {"START", 1, false, false}}},
        {"ten on from record 45 ends after the last", 45, {{"DBL_NEXT", 0, false, true}}},
        {"one back from the first, twice",
         1,
         {{"SGL_BACK", 0, true, false}, {"SGL_BACK", 0, true, false}}},
        {"one on from before the first",
         1,
         {{"SGL_BACK", 0, true, false}, {"SGL_NEXT", 1, false, false}}},
        {"back from after the last",
         50,
         {{"SGL_NEXT", 0, false, true}, {"SGL_BACK", 50, false, false}}},
        {"ten at a time inside",
         1,
         {{"DBL_NEXT", 11, false, false},
          {"DBL_NEXT", 21, false, false},
          {"DBL_BACK", 11, false, false},
          {"DBL_BACK", 1, false, false}}},
        {"ten back from 11 stops on 1", 11, {{"DBL_BACK", 1, false, false}}},
        {"ten on from 40 stops on 50", 40, {{"DBL_NEXT", 50, false, false}}},
        {"first and last", 17, {{"END", 50, false, false}, {"START", 1, false, false}}},
        {"last from before the first",
         1,
         {{"SGL_BACK", 0, true, false}, {"END", 50, false, false}}},
        {"one step each way", 25, {{"SGL_NEXT", 26, false, false}, {"SGL_BACK", 25, false, false}}},
        {"keys are exact",
         30,
         {{"start", 30, false, false},
          {"End", 30, false, false},
          {"END ", 30, false, false},
          {"", 30, false, false},
          {"DBL", 30, false, false}}},
    };
    Run(*doc, Numbers(50));
    ASSERT_EQ(doc->RecordSet().RecordCount(), 50);
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.what);
        StandOn(walk.start);
        for (const Press& press : walk.presses) {
            SCOPED_TRACE(press.key);
            window->tlbGrid_ButtonClick(QString::fromLatin1(press.key));
            ExpectAt(press.position, press.bof, press.eof);
        }
    }
}

TEST_F(GridNavigation, TheToolbarButtonsRunTheHandler) {
    Run(*doc, Numbers(50));
    window->GridButton(QStringLiteral("END"))->click();
    ExpectAt(50, false, false);
    window->GridButton(QStringLiteral("DBL_BACK"))->click();
    ExpectAt(40, false, false);
    window->GridButton(QStringLiteral("START"))->click();
    ExpectAt(1, false, false);
}

TEST_F(GridNavigation, ButtonsDoNothingWithoutRecords) {
    const char* keys[] = {"START", "DBL_BACK", "SGL_BACK", "SGL_NEXT", "DBL_NEXT", "END"};
    const auto pressAll = [&](const char* what) {
        SCOPED_TRACE(what);
        for (const char* key : keys) {
            SCOPED_TRACE(key);
            window->tlbGrid_ButtonClick(QString::fromLatin1(key));
            EXPECT_TRUE(SelectedRows().empty());
            EXPECT_TRUE(doubles.messages.shown.empty());
        }
    };

    pressAll("before any query");
    EXPECT_EQ(doc->RecordSet().State(), 0);

    Run(*doc, QStringLiteral("SELECT 1 AS n WHERE 1 = 0"));
    pressAll("an empty result");
    EXPECT_EQ(doc->RecordSet().State(), 1);
    EXPECT_TRUE(doc->RecordSet().IsBOF());
    EXPECT_TRUE(doc->RecordSet().IsEOF());
    EXPECT_EQ(grid()->model()->columnCount(), 1);

    Run(*doc, Numbers(3));
    doc->RecordSet().Close();
    pressAll("a result set closed after binding");

    qobject_cast<QMdiSubWindow*>(doc->parentWidget())->close();
    doc = nullptr;
    ASSERT_EQ(window->ActiveForm(), nullptr);
    for (const char* key : keys)
        window->tlbGrid_ButtonClick(QString::fromLatin1(key));
    EXPECT_TRUE(doubles.messages.shown.empty()) << "no document open";
}

TEST_F(GridNavigation, TheUsersMovesInTheGridMoveTheRecord) {
    Run(*doc, Numbers(50));
    grid()->setFocus();
    const QRect third = grid()->visualRect(grid()->model()->index(2, 1));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(doc->RecordSet().AbsolutePosition(), 3);
    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(doc->RecordSet().AbsolutePosition(), 4);
    EXPECT_EQ(doc->RecordSet().Value(1), QVariant(QStringLiteral("row 4")));
    QTest::keyClick(grid(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(doc->RecordSet().AbsolutePosition(), 50);
    // The buttons go on from where the user left the record.
    window->tlbGrid_ButtonClick(QStringLiteral("DBL_BACK"));
    ExpectAt(40, false, false);
    EXPECT_EQ(grid()->currentIndex().column(), 1) << "the column the user chose stays";
}

TEST_F(GridNavigation, ANewRunShowsItsRowsOnTheFirstRecord) {
    Run(*doc, Numbers(50));
    window->tlbGrid_ButtonClick(QStringLiteral("END"));
    Run(*doc, QStringLiteral("SELECT 'x' AS a, 'y' AS b, 'z' AS c UNION ALL SELECT 'p', 'q', 'r'"));
    EXPECT_EQ(grid()->model()->rowCount(), 2);
    ASSERT_EQ(grid()->model()->columnCount(), 3);
    EXPECT_EQ(grid()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("c"));
    ExpectAt(1, false, false);
}

TEST_F(GridNavigation, TheGridKeepsTheEditorsFontAndRowsFollowIt) {
    const QFont before = grid()->font();
    Run(*doc, Numbers(5));
    EXPECT_EQ(grid()->font(), before);
    EXPECT_EQ(grid()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    const int rowHeight = grid()->verticalHeader()->defaultSectionSize();
    QFont larger = before;
    larger.setPointSizeF(before.pointSizeF() * 3);
    grid()->setFont(larger);
    EXPECT_GT(grid()->verticalHeader()->defaultSectionSize(), rowHeight);
    EXPECT_GE(grid()->rowHeight(0), QFontMetrics(larger).height());
}

TEST_F(GridNavigation, AMillionRowsBindAndScrollToTheLast) {
    Run(*doc, Numbers(1000000));
    ASSERT_EQ(grid()->model()->rowCount(), 1000000);
    EXPECT_EQ(grid()->model()->data(grid()->model()->index(999999, 1)).toString(),
              QStringLiteral("row 1000000"));
    window->tlbGrid_ButtonClick(QStringLiteral("END"));
    ExpectAt(1000000, false, false);
    grid()->grab(); // paints the rows in view
    window->tlbGrid_ButtonClick(QStringLiteral("DBL_BACK"));
    ExpectAt(999990, false, false);
    window->tlbGrid_ButtonClick(QStringLiteral("START"));
    ExpectAt(1, false, false);
}

} // namespace
} // namespace brindle::test
