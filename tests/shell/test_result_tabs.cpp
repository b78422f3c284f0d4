#include "sqlite_window_fixture.h"

#include "data/result_pane.h"
#include "editor/rich_text_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

namespace brindle::test {
namespace {

class ResultTabs : public SqliteWindowTest {
protected:
    void SetUp() override {
        SqliteWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        Open().LoadNewDoc();
        doc = window->ActiveForm();
        ASSERT_NE(doc, nullptr);
    }

    void RunText(const QString& text) {
        doc->txtQry()->setText(text);
        window->mnuQryExec_Click();
    }

    QStringList Tabs() const {
        QStringList tabs;
        const QTabBar* bar = doc->resultPane()->tabResults();
        for (int i = 0; i < bar->count(); ++i)
            tabs.append(bar->tabText(i));
        return tabs;
    }

    // The message list as "batch|line|text" lines.
    QStringList Messages() const {
        QStringList lines;
        const QTreeWidget* list = doc->resultPane()->lstMessages();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            lines.append(item->text(0) + u'|' + item->text(1) + u'|' + item->text(2));
        }
        return lines;
    }

    void ShowTab(int index) { doc->resultPane()->tabResults()->setCurrentIndex(index); }

    QString Cell(const QTableView* grid, int row, int column) const {
        return grid->model()->index(row, column).data(Qt::EditRole).toString();
    }

    frmSQL* doc = nullptr;
};

TEST_F(ResultTabs, BeforeAnyRunTheGridHasItsTabAndTheMessagesTheirs) {
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("結果"), QStringLiteral("メッセージ")}));
    EXPECT_EQ(doc->resultPane()->ShownGrid(), doc->grdQry());
    // The run's panel comes after the two the main window always had.
    const QList<QLabel*> panels =
        window->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    QStringList names;
    for (const QLabel* panel : panels)
        names.append(panel->objectName());
    EXPECT_EQ(names.mid(0, 3), (QStringList{QStringLiteral("MESSAGE"), QStringLiteral("DSN"),
                                            QStringLiteral("RUN")}));
}

TEST_F(ResultTabs, EveryResultGetsATabAndTheDocumentsResultSetIsShown) {
    RunText(QStringLiteral("CREATE TABLE t (x INTEGER)\nGO\n"
                           "INSERT INTO t VALUES (1), (2), (3)\nGO\n"
                           "SELECT x FROM t ORDER BY x\nGO\n"
                           "SELECT COUNT(*) AS n FROM t"));
    EXPECT_TRUE(doubles.messages.shown.empty());
    EXPECT_EQ(window->PanelText(QStringLiteral("MESSAGE")),
              QStringLiteral("クエリ バッチが完了しました。"));
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("結果 1"), QStringLiteral("結果 2"),
                                   QStringLiteral("メッセージ")}));
    // The last batch's result is the document's, in its own grid.
    EXPECT_EQ(doc->resultPane()->tabResults()->currentIndex(), 1);
    EXPECT_EQ(doc->resultPane()->ShownGrid(), doc->grdQry());
    EXPECT_EQ(Cell(doc->grdQry(), 0, 0), QStringLiteral("3"));

    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 5);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("1|1|")));
    EXPECT_EQ(messages[1], QStringLiteral("2|3|3 行を更新しました"));
    EXPECT_EQ(messages[2], QStringLiteral("3|5|3 行"));
    EXPECT_EQ(messages[3], QStringLiteral("4|7|1 行"));
    EXPECT_TRUE(messages[4].startsWith(QStringLiteral("||4 バッチ · 4 行 · 3 行を更新 · ")))
        << messages[4].toStdString();
    EXPECT_EQ(window->PanelText(QStringLiteral("RUN")), doc->Run().TotalsText());

    // Another result shows read-only, and the grid toolbar moves through it
    // while the document's result set stays where it was.
    ShowTab(0);
    QTableView* other = doc->resultPane()->ShownGrid();
    ASSERT_EQ(other, doc->resultPane()->grdResult());
    EXPECT_EQ(other->model()->rowCount(), 3);
    EXPECT_FALSE(other->model()->flags(other->model()->index(0, 0)) & Qt::ItemIsEditable);
    window->tlbGrid_ButtonClick(QStringLiteral("END"));
    EXPECT_EQ(doc->ShownRecordSet().AbsolutePosition(), 3);
    EXPECT_EQ(other->currentIndex().row(), 2);
    EXPECT_EQ(doc->RecordSet().AbsolutePosition(), 1);

    // Ctrl+C copies the selected cells as tab-separated lines.
    other->selectAll();
    QTest::keyClick(other, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1\r\n2\r\n3\r\n"));

    // A new run replaces every tab.
    RunText(QStringLiteral("SELECT 'a' AS s"));
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("結果 1"), QStringLiteral("メッセージ")}));
    EXPECT_EQ(doc->resultPane()->ShownGrid(), doc->grdQry());
}

TEST_F(ResultTabs, AFailingBatchKeepsTheEarlierResultsAndPointsAtItsLine) {
    RunText(QStringLiteral("SELECT 1 AS a\nGO\nSELECT 2 AS b\nGO\nSELECT * FROM no_such_table\n"
                           "GO\nSELECT 4\nGO\nSELECT 5"));
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(window->PanelText(QStringLiteral("MESSAGE")),
              QStringLiteral("クエリ バッチはエラーで完了しました。"));
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("結果 1"), QStringLiteral("結果 2"),
                                   QStringLiteral("メッセージ")}));
    // The messages are shown: that is where the failure is.
    EXPECT_EQ(doc->resultPane()->tabResults()->currentIndex(), doc->resultPane()->MessageTab());
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 4) << messages.join(u'\n').toStdString();
    EXPECT_EQ(messages[0], QStringLiteral("1|1|1 行"));
    EXPECT_EQ(messages[1], QStringLiteral("2|3|1 行"));
    EXPECT_TRUE(messages[2].startsWith(QStringLiteral("3|5|"))) << messages[2].toStdString();
    EXPECT_TRUE(messages[2].contains(QStringLiteral("no_such_table")));
    EXPECT_EQ(doc->Run().Batches().size(), 3u) << "batches 4 and 5 never ran";

    // Both kept results show, read-only.
    ShowTab(1);
    EXPECT_EQ(Cell(doc->resultPane()->ShownGrid(), 0, 0), QStringLiteral("2"));

    // Double-clicking the failure selects its batch in the editor.
    QTreeWidget* list = doc->resultPane()->lstMessages();
    emit list->itemActivated(list->topLevelItem(2), 0);
    EXPECT_EQ(doc->txtQry()->SelText(), QStringLiteral("SELECT * FROM no_such_table"));
}

TEST_F(ResultTabs, ARunOfASelectionCountsLinesFromTheEditorsTop) {
    doc->txtQry()->setText(QStringLiteral("-- first\n-- second\nSELECT 1\nGO\nSELECT 2\n"));
    const QString text = doc->txtQry()->Text();
    const auto start = text.indexOf(QStringLiteral("SELECT 1"));
    doc->txtQry()->setSelStart(static_cast<int>(start));
    doc->txtQry()->setSelLength(static_cast<int>(text.size() - start));
    window->mnuQryExec_Click();
    const QStringList messages = Messages();
    ASSERT_GE(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral("1|3|1 行"));
    EXPECT_EQ(messages[1], QStringLiteral("2|5|1 行"));
    emit doc->resultPane()->lstMessages()->itemActivated(
        doc->resultPane()->lstMessages()->topLevelItem(1), 0);
    EXPECT_EQ(doc->txtQry()->SelText(), QStringLiteral("SELECT 2"));
}

TEST_F(ResultTabs, SavingWritesTheResultShownAndFailuresLoseNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Nothing to save yet: said so, no dialog.
    window->mnuToolSaveResult_Click();
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_TRUE(doubles.resultFiles.shownWith.empty());

    RunText(QStringLiteral("SELECT 1 AS n, '日本, \"語\"' AS s\nGO\nSELECT 2 AS m"));
    ShowTab(0);
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    doubles.resultFiles.answer = ResultSaveChoice{path, ResultFileFormat::CsvUtf8};
    window->mnuToolSaveResult_Click();
    EXPECT_EQ(doubles.messages.shown.size(), 1u);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("\xEF\xBB\xBFn,s\r\n1,\"日本, \"\"語\"\"\"\r\n"));
    saved.close();

    // Into a folder that is not there: one box, and the old file as it was.
    doubles.resultFiles.answer =
        ResultSaveChoice{dir.filePath(QStringLiteral("missing/out.csv")), ResultFileFormat::Tsv};
    window->mnuToolSaveResult_Click();
    EXPECT_EQ(doubles.messages.shown.size(), 2u);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/out.csv"))));
}

} // namespace
} // namespace brindle::test
