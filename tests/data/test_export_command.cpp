#include "data/export_progress_dialog.h"
#include "data/recordset.h"
#include "editor/rich_text_editor.h"
#include "shell/sqlite_window_fixture.h"
#include "support/xlsx_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QToolButton>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// The main window on SQLite with one document, and a cache directory of the
// test's own where the workbooks go.
class ExportCommand : public SqliteWindowTest {
protected:
    void SetUp() override {
        SqliteWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        savedCache = qgetenv("XDG_CACHE_HOME");
        UseCache(scratch.filePath(u"cache"_s));
        Open();
        window->LoadNewDoc();
        doc = window->ActiveForm();
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override {
        qputenv("XDG_CACHE_HOME", savedCache);
        SqliteWindowTest::TearDown();
    }
    static void UseCache(const QString& directory) {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(directory));
    }
    QString exports() const { return scratch.filePath(u"cache/Brindle/exports"_s); }
    QStringList Workbooks() const {
        return QDir(exports()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    std::vector<QString> BoxTexts() const {
        std::vector<QString> texts;
        for (const MessageBoxRequest& box : doubles.messages.shown)
            texts.push_back(box.text);
        return texts;
    }

    QByteArray savedCache;
    frmSQL* doc = nullptr;
};

TEST_F(ExportCommand, ExportsTheSelectedBatchesOnlyAndLeavesTheResultClosed) {
    const QString script = u"CREATE TABLE t (a varchar(10))\nGO\nINSERT INTO t VALUES ('007')\nGO\n"
                           u"SELECT a, NULL AS n, '日本語' AS j FROM t\nGO\n"
                           u"INSERT INTO t VALUES ('not run')"_s;
    doc->txtQry()->setText(script);
    doc->txtQry()->setSelStart(0);
    doc->txtQry()->setSelLength(static_cast<int>(script.indexOf(u"INSERT INTO t VALUES ('not"_s)));
    window->SetPanelText(u"MESSAGE"_s, u"before"_s);

    window->tlbMain_ButtonClick(u"EXCEL"_s);

    EXPECT_TRUE(doubles.messages.shown.empty()) << BoxTexts()[0].toStdString();
    ASSERT_EQ(doubles.workbooks.opened.size(), 1u);
    const QString path = doubles.workbooks.opened[0];
    EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(exports()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(u"Book_"_s));
    EXPECT_EQ(Workbooks().size(), 1); // no temporary left beside it
    const XlsxContents book = ReadXlsx(path);
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    EXPECT_EQ(book.maxRow, 2);
    EXPECT_EQ(book.cell(1, 1).toString(), u"a"_s);
    EXPECT_EQ(book.cell(2, 1).toString(), u"007"_s);
    EXPECT_TRUE(book.cell(2, 2).isNull());
    EXPECT_EQ(book.cell(2, 3).toString(), u"日本語"_s);

    // The status bar is the command's to leave alone; the batch after the
    // selection never ran.
    EXPECT_EQ(window->PanelText(u"MESSAGE"_s), u"before"_s);
    Run(*doc, u"SELECT COUNT(*) FROM t"_s);
    EXPECT_EQ(doc->RecordSet().Value(0).toLongLong(), 1);

    // After a complete export the result is closed and the grid empty: every
    // button of the grid toolbar moves nothing and says nothing.
    doc->txtQry()->setText(u"SELECT a FROM t"_s);
    window->RunMenuItem(u"mnuToolExcel"_s);
    EXPECT_EQ(doc->RecordSet().State(), 0);
    EXPECT_EQ(doc->grdQry()->model()->columnCount(), 0);
    EXPECT_EQ(doc->grdQry()->model()->rowCount(), 0);
    for (const QString& key :
         {u"START"_s, u"DBL_BACK"_s, u"SGL_BACK"_s, u"SGL_NEXT"_s, u"DBL_NEXT"_s, u"END"_s}) {
        SCOPED_TRACE(key.toStdString());
        ASSERT_NE(window->GridButton(key), nullptr) << "a key of the grid toolbar";
        window->tlbGrid_ButtonClick(key);
        EXPECT_EQ(doc->RecordSet().State(), 0);
        EXPECT_FALSE(doc->grdQry()->currentIndex().isValid());
        EXPECT_TRUE(doubles.messages.shown.empty());
    }
    EXPECT_EQ(doubles.workbooks.opened.size(), 2u);
}

TEST_F(ExportCommand, NothingIsExportedWhenTheBatchesDoNotRun) {
    doc->txtQry()->setText(u"SELECT * FROM no_such_table"_s);
    window->mnuToolExcel_Click();
    EXPECT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_TRUE(doubles.workbooks.opened.empty());

    gcnDB->Close();
    doubles.messages.shown.clear();
    window->mnuToolExcel_Click();
    EXPECT_EQ(BoxTexts(), std::vector<QString>{u"データベースに接続されていません。"_s});
    EXPECT_TRUE(doubles.workbooks.opened.empty());
    EXPECT_TRUE(Workbooks().isEmpty());
}

TEST_F(ExportCommand, AWorkbookThatCannotBeMadeOrOpenedIsOneErrorAndTheWindowCarriesOn) {
    doc->txtQry()->setText(u"SELECT 1 AS one"_s);

    // The cache directory lies under a plain file: no folder can be made there.
    QFile blocker(scratch.filePath(u"blocker"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    UseCache(blocker.fileName() + u"/cache"_s);
    window->mnuToolExcel_Click();
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(doubles.messages.shown[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(doubles.messages.shown[0].text.startsWith(u"ブックを作成できません。"_s));
    EXPECT_TRUE(doubles.workbooks.opened.empty());

    window->mnuQryExec_Click();
    EXPECT_EQ(window->PanelText(u"MESSAGE"_s), u"クエリ バッチが完了しました。"_s);
    EXPECT_EQ(doubles.messages.shown.size(), 1u);

    // Nothing to open it with: said once, and the complete file stays for the user.
    UseCache(scratch.filePath(u"cache"_s));
    doubles.workbooks.answer = false;
    doubles.messages.shown.clear();
    window->mnuToolExcel_Click();
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_TRUE(doubles.messages.shown[0].text.contains(u"開けません"_s));
    ASSERT_EQ(doubles.workbooks.opened.size(), 1u);
    const XlsxContents book = ReadXlsx(doubles.workbooks.opened[0]);
    EXPECT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    EXPECT_EQ(book.cell(2, 1).toString(), u"1"_s);
}

TEST(ExportProgressDialog, CountsTheRecordsAndStopsWhenCancelled) {
    QWidget parent;
    ExportProgressDialog progress(&parent);
    progress.Begin(250);
    EXPECT_TRUE(progress.Written(100));
    EXPECT_TRUE(progress.Written(250));
    EXPECT_EQ(progress.dialog().labelText(), u"ブックに書き込み中･･･ 250 / 250 件"_s);
    progress.dialog().cancel();
    EXPECT_FALSE(progress.Written(250));
    progress.dialog().show();
    progress.End();
    EXPECT_FALSE(progress.dialog().isVisible());
}

} // namespace
} // namespace brindle::test
