// The history in the main window over a real store: every batch F5 runs is
// recorded with where it ran and how it ended, and the history's window
// finds entries, opens them, inserts them, copies and deletes them.

#include "data/connection_string.h"
#include "data/split_batches.h"
#include "data/test_backends.h"
#include "editor/rich_text_editor.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "shell/main_window_fixture.h"
#include "store/frm_history.h"
#include "store/query_history.h"
#include "store_test_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;
using store::HistoryEntry;
using store::HistoryOutcome;

// Typed a character at a time, each a change of the filter.
void TypeInto(QLineEdit& edit, const QString& text) {
    for (const QChar c : text)
        edit.insert(QString(c));
}

class HistoryWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(storeDir.isValid());
        paths.directory = storeDir.path() + u"/Brindle"_s;
        recorder = std::make_unique<store::HistoryRecorder>(
            paths, [this](const store::JournalProblem& problem) { problems.push_back(problem); },
            true);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        recorder.reset();
    }
    frmMain& OpenWithHistory() {
        Services services = doubles.services();
        services.history = recorder.get();
        services.store = paths;
        return OpenWith(services);
    }
    // Every entry, newest first.
    std::vector<HistoryEntry> Entries() {
        EXPECT_TRUE(recorder->Flush(kFlushWaitMs));
        return store::HistoryReader(paths).List({}, 100000, 0, true);
    }
    QString Run(const QString& text) {
        window->ActiveForm()->txtQry()->setText(text);
        window->RunMenuItem(u"mnuQryExec"_s);
        return window->PanelText(u"MESSAGE"_s);
    }
    // "クエリ履歴(&H)..." as the user chooses it; `script` plays the dialog.
    void ShowHistory(const std::function<int(frmHistory&)>& script) {
        int shown = 0;
        doubles.modal.script = [&](QDialog& dialog) {
            auto* history = qobject_cast<frmHistory*>(&dialog);
            if (!history)
                return int(QDialog::Rejected);
            ++shown;
            return script(*history);
        };
        QAction* item = window->findChild<QAction*>(u"mnuQryHistory"_s);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
        EXPECT_EQ(shown, 1);
    }

    QTemporaryDir storeDir;
    store::StorePaths paths;
    std::unique_ptr<store::HistoryRecorder> recorder;
    std::vector<store::JournalProblem> problems; // the recorder's worker; read after Flush
    QTemporaryDir scratch;
};

class HistoryRecording : public HistoryWindowTest,
                         public ::testing::WithParamInterface<BackendKind> {};

TEST_P(HistoryRecording, EveryBatchOfARunIsKeptUntilOneFails) {
    const QString connection = OpenConnectionTo(*gcnDB, GetParam(), scratch.path());
    if (connection.isNull())
        return;
    gstrDSN = u"テスト用"_s;
    OpenWithHistory().LoadNewDoc();
    const QString japanese = JapaneseText(BackendOf(GetParam()));
    EXPECT_EQ(Run(u"CREATE TEMPORARY TABLE h (k integer, s varchar(40))\nGO\n"
                  u"INSERT INTO h VALUES (1, '"_s +
                  japanese +
                  u"')\nGO\n"
                  u"INSERT INTO h SELECT k + 1, s FROM h\nGO\n"
                  u"UPDATE h SET k = k * 10\nGO\n"
                  u"SELECT k, s AS 名前 FROM h ORDER BY k"_s),
              u"クエリ バッチが完了しました。"_s);
    const QStringList sent = SplitBatches(window->ActiveForm()->txtQry()->Text());
    ASSERT_EQ(sent.size(), 5);
    std::vector<HistoryEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(entries[static_cast<size_t>(4 - i)].text, sent[i]) << "the batches as sent";
    const HistoryEntry& update = entries[1];
    EXPECT_EQ(update.text.trimmed(), u"UPDATE h SET k = k * 10"_s);
    EXPECT_TRUE(update.rowsChanged);
    EXPECT_EQ(update.rows, 2);
    const HistoryEntry& select = entries[0];
    EXPECT_FALSE(select.rowsChanged);
    EXPECT_EQ(select.rows, 2);
    EXPECT_EQ(select.outcome, HistoryOutcome::Completed);
    EXPECT_EQ(select.dsn, u"テスト用"_s);
    EXPECT_EQ(select.login, ConnectionStringKey(connection, u"UID"_s));
    EXPECT_EQ(select.caption, u"無題1"_s);
    EXPECT_EQ(entries[3].text.trimmed(), u"INSERT INTO h VALUES (1, '"_s + japanese + u"')"_s);
    EXPECT_EQ(entries[4].text.left(24), u"CREATE TEMPORARY TABLE h"_s) << "oldest last";
    for (const HistoryEntry& entry : entries)
        EXPECT_FALSE(entry.text.contains(u"PWD"_s, Qt::CaseInsensitive));

    // A failure is kept with the driver's words; the batches after it never
    // ran and are not kept.
    doubles.messages.shown.clear();
    EXPECT_EQ(Run(u"SELECT 1 AS a\nGO\nSELECT * FROM no_such_table_here\nGO\nSELECT 2 AS b"_s),
              u"クエリ バッチはエラーで完了しました。"_s);
    entries = Entries();
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[0].outcome, HistoryOutcome::Failed);
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(entries[0].error, doubles.messages.shown[0].text);
    EXPECT_EQ(entries[1].text.trimmed(), u"SELECT 1 AS a"_s);
    EXPECT_TRUE(problems.empty());
}

TEST_P(HistoryRecording, TheExcelRunIsRecordedToo) {
    if (OpenConnectionTo(*gcnDB, GetParam(), scratch.path()).isNull())
        return;
    OpenWithHistory().LoadNewDoc();
    window->ActiveForm()->txtQry()->setText(u"SELECT 1 AS a"_s);
    window->RunMenuItem(u"mnuToolExcel"_s);
    const std::vector<HistoryEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text.trimmed(), u"SELECT 1 AS a"_s);
    EXPECT_EQ(entries[0].rows, 1);
}

TEST_F(HistoryWindowTest, ACancelledBatchIsKeptAsCancelledAndNothingAfterIt) {
    if (OpenConnectionTo(*gcnDB, BackendKind::PostgreSQL, scratch.path()).isNull())
        return;
    OpenWithHistory().LoadNewDoc();
    // キャンセル once the progress shows, from the window's own event loop.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QDialog*>(u"batchProgress"_s);
        auto* cancel = progress ? progress->findChild<QPushButton*>(u"cmdCancel"_s) : nullptr;
        if (cancel && progress->isVisible() && cancel->isEnabled()) {
            poll.stop();
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    poll.start();
    EXPECT_EQ(Run(u"SELECT 1 AS a\nGO\nSELECT pg_sleep(30)\nGO\nSELECT 3 AS c"_s),
              u"クエリ バッチはエラーで完了しました。"_s);
    const std::vector<HistoryEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].outcome, HistoryOutcome::Cancelled);
    EXPECT_EQ(entries[0].text.trimmed(), u"SELECT pg_sleep(30)"_s);
    EXPECT_EQ(entries[1].outcome, HistoryOutcome::Completed);
}

BRINDLE_ALL_BACKENDS(HistoryRecording);

// Entries made directly: 450 of them, every tenth a failure on a second data
// source; the texts numbered, some Japanese.
class HistoryWindow : public HistoryWindowTest {
protected:
    void SetUp() override {
        HistoryWindowTest::SetUp();
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-3600);
        for (int i = 1; i <= 450; ++i) {
            HistoryEntry entry;
            entry.started = start.addSecs(i);
            entry.durationMs = i;
            entry.dsn = i % 10 == 0 ? u"pg"_s : u"sample"_s;
            entry.caption = u"無題1"_s;
            entry.rows = i;
            entry.outcome = i % 10 == 0 ? HistoryOutcome::Failed : HistoryOutcome::Completed;
            entry.error = i % 10 == 0 ? u"relation does not exist"_s : QString();
            entry.text = i % 7 == 0 ? u"select 社員 from 部署 -- %1\nwhere x = 1"_s.arg(i)
                                    : u"SELECT %1 AS n"_s.arg(i);
            entry.firstLine = entry.text.section(u'\n', 0, 0);
            recorder->Record(entry);
        }
        ASSERT_TRUE(recorder->Flush(kFlushWaitMs));
        OpenWithHistory().LoadNewDoc();
    }
    static QString Cell(frmHistory& h, int row, int column) {
        return h.Model()->index(row, column).data().toString();
    }
};

TEST_F(HistoryWindow, ListsNewestFirstAPageAtATimeAndNarrowsAsTheUserTypes) {
    ShowHistory([&](frmHistory& h) {
        store::HistoryListModel& model = *h.Model();
        EXPECT_EQ(model.rowCount(), store::HistoryListModel::PageSize);
        EXPECT_EQ(Cell(h, 0, store::HistoryListModel::FirstLineColumn), u"SELECT 450 AS n"_s);
        EXPECT_EQ(Cell(h, 0, store::HistoryListModel::OutcomeColumn), u"エラー"_s);
        EXPECT_EQ(Cell(h, 0, store::HistoryListModel::RowsColumn), QString())
            << "a failure has no rows";
        EXPECT_EQ(Cell(h, 1, store::HistoryListModel::OutcomeColumn), u"完了"_s);
        EXPECT_EQ(Cell(h, 1, store::HistoryListModel::RowsColumn), u"449 行"_s);
        EXPECT_EQ(Cell(h, 1, store::HistoryListModel::DataSourceColumn), u"sample"_s);
        while (model.canFetchMore({}))
            model.fetchMore({});
        EXPECT_EQ(model.rowCount(), 450);
        EXPECT_EQ(Cell(h, 449, store::HistoryListModel::FirstLineColumn), u"SELECT 1 AS n"_s);
        EXPECT_EQ(h.txtPreview()->toPlainText(), u"SELECT 450 AS n"_s) << "the newest selected";
        EXPECT_TRUE(h.lblMessage()->text().contains(u"relation does not exist"_s));
        QTest::keyClick(h.txtFilter(), Qt::Key_Down);
        EXPECT_EQ(h.txtPreview()->toPlainText(), u"SELECT 449 AS n"_s) << "Down in the filter";
        EXPECT_FALSE(h.lblMessage()->isVisibleTo(&h)) << "no error to tell";

        TypeInto(*h.txtFilter(), u"社員"_s);
        EXPECT_EQ(model.rowCount(), 64) << "every seventh";
        TypeInto(*h.txtFilter(), u" FROM"_s);
        EXPECT_EQ(model.rowCount(), 64) << "any case";
        EXPECT_EQ(h.txtPreview()->toPlainText(), u"select 社員 from 部署 -- 448\nwhere x = 1"_s)
            << "the whole text";
        h.chkFailures()->setChecked(true);
        EXPECT_EQ(model.rowCount(), 6) << "multiples of 70";
        EXPECT_TRUE(h.lblMessage()->isVisibleTo(&h));
        EXPECT_TRUE(h.lblMessage()->text().contains(u"relation does not exist"_s));
        h.chkFailures()->setChecked(false);
        h.txtFilter()->clear();
        const int pg = h.cboDataSource()->findText(u"pg"_s);
        EXPECT_GT(pg, 0);
        h.cboDataSource()->setCurrentIndex(pg);
        EXPECT_EQ(model.rowCount(), 45);
        TypeInto(*h.txtFilter(), u"%_\"*"_s);
        EXPECT_EQ(model.rowCount(), 0) << "search syntax is plain text";
        return int(QDialog::Rejected);
    });
}

TEST_F(HistoryWindow, EnterOpensANewDocumentAndCtrlEnterInsertsAtTheCaret) {
    ShowHistory([&](frmHistory& h) {
        TypeInto(*h.txtFilter(), u"SELECT 12 "_s);
        EXPECT_EQ(h.Model()->rowCount(), 1);
        h.lstHistory()->setFocus();
        QTest::keyClick(h.lstHistory(), Qt::Key_Return);
        return h.result();
    });
    ASSERT_EQ(window->Documents().size(), 2);
    EXPECT_EQ(window->ActiveForm()->txtQry()->Text(), u"SELECT 12 AS n"_s);

    RichTextEditor& editor = *window->ActiveForm()->txtQry();
    editor.setSelStart(editor.TextLength());
    ShowHistory([&](frmHistory& h) {
        TypeInto(*h.txtFilter(), u"部署 -- 441"_s);
        EXPECT_EQ(h.Model()->rowCount(), 1);
        h.lstHistory()->setFocus();
        QTest::keyClick(h.lstHistory(), Qt::Key_Return, Qt::ControlModifier);
        return h.result();
    });
    EXPECT_EQ(window->Documents().size(), 2) << "inserted, not opened";
    EXPECT_EQ(editor.Text(), u"SELECT 12 AS nselect 社員 from 部署 -- 441\r\nwhere x = 1"_s);
}

TEST_F(HistoryWindow, CopyDeleteAndClearAll) {
    doubles.messages.answer = MsgResultYes;
    ShowHistory([&](frmHistory& h) {
        TypeInto(*h.txtFilter(), u"SELECT 44"_s);
        EXPECT_EQ(h.Model()->rowCount(), 9) << "44 and 440-449 but the Japanese 441 and 448";
        h.lstHistory()->selectAll();
        h.lstHistory()->setFocus();
        QTest::keyClick(h.lstHistory(), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        EXPECT_TRUE(copied.startsWith(u"SELECT 44 AS n\nSELECT 440 AS n\n"_s)) << "oldest first";
        QTest::keyClick(h.lstHistory(), Qt::Key_Delete);
        EXPECT_EQ(h.Model()->rowCount(), 0);
        h.txtFilter()->clear();
        EXPECT_EQ(h.Model()->rowCount(), store::HistoryListModel::PageSize);
        h.cmdClear_Click();
        EXPECT_EQ(h.Model()->rowCount(), 0);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(doubles.messages.shown.size(), 2u) << "each deletion asked once";
    EXPECT_TRUE(Entries().empty());
}

TEST_F(HistoryWindowTest, WithoutAStoreRunsGoOnAndTheWindowSaysSo) {
    // A file where the store's directory should be: nothing can be written.
    QFile blocker(paths.directory);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    if (OpenConnectionTo(*gcnDB, BackendKind::SQLite, scratch.path()).isNull())
        return;
    OpenWithHistory().LoadNewDoc();
    EXPECT_EQ(Run(u"SELECT 1 AS a\nGO\nSELECT 2 AS b"_s), u"クエリ バッチが完了しました。"_s);
    EXPECT_EQ(window->ActiveForm()->RecordSet().Value(0).toLongLong(), 2);
    recorder->Flush(kFlushWaitMs);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.size(), 1u) << "told once";
    doubles.messages.shown.clear();
    window->ShowHistoryProblem(problems.front());
    EXPECT_EQ(doubles.messages.shown.size(), 1u);

    ShowHistory([&](frmHistory& h) {
        EXPECT_TRUE(h.lblMessage()->isVisibleTo(&h));
        EXPECT_TRUE(h.lblMessage()->text().startsWith(u"クエリ履歴を使用できません。"_s));
        EXPECT_FALSE(h.lstHistory()->isEnabled());
        return int(QDialog::Rejected);
    });
}

} // namespace
} // namespace brindle::test
