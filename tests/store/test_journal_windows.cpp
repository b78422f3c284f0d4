// The windows over a real journal in a temporary store: what is typed is
// kept, what is closed can be reopened, what a crashed instance left is
// offered once, and the user hears of a problem once.

#include "editor/rich_text_editor.h"
#include "shell/bas_main.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "shell/main_window_fixture.h"
#include "store/frm_closed_queries.h"
#include "store/frm_restore.h"
#include "store/journal_reader.h"
#include "store/journal_warnings.h"
#include "store/query_journal.h"
#include "store_test_support.h"
#include "support/file_size_limit.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

#include <memory>
#include <mutex>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;
using store::JournalProblem;

// Types `text` as a keyboard or an input method delivers it, Japanese too.
void Type(QWidget& widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.mid(i, n));
        QApplication::sendEvent(&widget, &key);
        i += n - 1;
    }
}

// The text as the journal keeps it.
QString Kept(const QString& editorText) {
    QString text = editorText;
    return text.replace(u"\r\n"_s, u"\n"_s);
}

class JournalWindows : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        paths.directory = dir.path();
        journal = MakeJournal();
    }
    void TearDown() override {
        MainWindowTest::TearDown(); // closes the window: a clean end
        journal.reset();
    }

    std::unique_ptr<store::QueryJournal> MakeJournal() {
        return std::make_unique<store::QueryJournal>(paths, [this](const JournalProblem& problem) {
            std::lock_guard lock(problemsMutex);
            problems.push_back(problem.kind);
        });
    }
    frmMain& OpenWithJournal() {
        Services services = doubles.services();
        services.journal = journal.get();
        services.store = paths;
        return OpenWith(services);
    }
    RichTextEditor& Editor() const { return *window->ActiveForm()->txtQry(); }
    void CloseActive() const {
        QMdiSubWindow* sub = window->MdiArea()->activeSubWindow();
        ASSERT_NE(sub, nullptr);
        sub->close();
        QCoreApplication::processEvents();
    }
    std::vector<store::KeptDocument> Closed() {
        EXPECT_TRUE(journal->Flush(kFlushWaitMs));
        return store::JournalReader(paths).Closed(500);
    }
    QString TextOf(qint64 id) {
        EXPECT_TRUE(journal->Flush(kFlushWaitMs));
        return store::JournalReader(paths).Text(id).value_or(u"<none>"_s);
    }
    // The actions of the recent menu as the user sees it opened.
    QList<QAction*> RecentItems() const {
        window->FillRecentMenu();
        return window->RecentMenu()->actions();
    }

    QTemporaryDir dir;
    store::StorePaths paths;
    std::unique_ptr<store::QueryJournal> journal;
    std::mutex problemsMutex;
    std::vector<JournalProblem::Kind> problems;
};

TEST_F(JournalWindows, WhatIsTypedPastedUndoneAndReplacedIsKeptAsTheEditorHasIt) {
    OpenWithJournal().LoadNewDoc();
    RichTextEditor& editor = Editor();
    editor.setFocus();
    QTest::keyClicks(&editor, u"select * from t"_s);
    QTest::keyClick(&editor, Qt::Key_Return);
    Type(editor, u"where 名前 = '東京' 😀"_s);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QTest::keyClick(&editor, Qt::Key_Home);
    QTest::keyClick(&editor, Qt::Key_Delete);
    auto* paste = new QMimeData;
    paste->setText(u"-- 貼り付け\r\nGO\r\n😀 last"_s);
    QGuiApplication::clipboard()->setMimeData(paste);
    editor.paste();
    editor.document()->undo();
    editor.document()->redo();
    QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&editor, u"x"_s);
    editor.document()->undo();
    editor.ReplaceText(editor.Text() + u"\r\nGO\r\n"_s);
    // A long paste in the middle, then a key after it.
    QString lines;
    for (int i = 0; i < 3000; ++i)
        lines += u"select %1 from 長い表 -- 行\r\n"_s.arg(i);
    auto* longPaste = new QMimeData;
    longPaste->setText(lines);
    QGuiApplication::clipboard()->setMimeData(longPaste);
    editor.setSelStart(5);
    editor.paste();
    QTest::keyClicks(&editor, u"z"_s);
    EXPECT_TRUE(journal->Flush(kFlushWaitMs));

    const std::vector<store::KeptDocument> all = store::JournalReader(paths).All();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].open);
    EXPECT_EQ(TextOf(all[0].id), Kept(editor.Text()));

    // A whole new text, as opening a file gives it.
    editor.setText(u"line 1\r\nline 2\r\n"_s);
    EXPECT_EQ(TextOf(all[0].id), Kept(editor.Text()));
}

TEST_F(JournalWindows, AClosedQueryIsReopenedFromTheMenuAndAnEmptyOneIsNotKept) {
    frmMain& w = OpenWithJournal();
    w.LoadNewDoc();
    QTest::keyClicks(&Editor(), u"SELECT & 1"_s);
    CloseActive();
    w.LoadNewDoc(); // 無題2, left empty
    CloseActive();

    std::vector<store::KeptDocument> closed = Closed();
    ASSERT_EQ(closed.size(), 1u) << "the empty document is not kept";
    EXPECT_EQ(closed[0].caption, u"無題1"_s);

    const QList<QAction*> items = RecentItems();
    ASSERT_GE(items.size(), 3); // the query, a separator, すべて表示...
    EXPECT_TRUE(items[0]->text().startsWith(u"SELECT && 1\t"_s)) << items[0]->text().toStdString();
    EXPECT_EQ(items.last()->text(), u"すべて表示..."_s);
    items[0]->trigger();

    ASSERT_NE(w.ActiveForm(), nullptr);
    EXPECT_EQ(Editor().Text(), u"SELECT & 1"_s);
    EXPECT_EQ(w.ActiveForm()->Caption(), u"無題3"_s) << "an untitled query gets a new number";
    EXPECT_TRUE(Closed().empty()) << "reopened, it is open again, not copied";
    QTest::keyClick(&Editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&Editor(), u" + 1"_s);
    CloseActive();
    closed = Closed();
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(TextOf(closed[0].id), u"SELECT & 1 + 1"_s);

    // With nothing closed the menu says so.
    w.LoadNewDoc();
    QTest::keyClicks(&Editor(), u"x"_s);
    RecentItems()[0]->trigger(); // reopens the one closed query
    EXPECT_FALSE(RecentItems()[0]->isEnabled());
}

TEST_F(JournalWindows, TheClosedQueriesDialogFiltersOpensAndDeletes) {
    frmMain& w = OpenWithJournal();
    for (const QString& text :
         {u"select 東京 from a"_s, u"select 大阪 from b"_s, u"update c set x = 1"_s}) {
        w.LoadNewDoc();
        Editor().setText(text);
        CloseActive();
    }
    doubles.messages.answer = MsgResultYes;
    int shown = 0;
    doubles.modal.script = [&](QDialog& dialog) {
        auto* closed = qobject_cast<frmClosedQueries*>(&dialog);
        if (!closed)
            return int(QDialog::Rejected);
        ++shown;
        QTreeWidget* list = closed->lstQueries();
        if (shown == 1) {
            EXPECT_EQ(list->topLevelItemCount(), 3);
            EXPECT_EQ(list->topLevelItem(0)->text(2), u"update c set x = 1"_s) << "newest first";
            closed->txtFilter()->setText(u"SELECT"_s);
            closed->Refill();
            EXPECT_EQ(list->topLevelItemCount(), 2) << "any case";
            closed->txtFilter()->setText(u"東京"_s);
            closed->Refill();
            EXPECT_EQ(list->topLevelItemCount(), 1);
            list->topLevelItem(0)->setSelected(true);
            EXPECT_EQ(closed->txtPreview()->toPlainText(), u"select 東京 from a"_s);
            closed->cmdOpen_Click();
            return dialog.result();
        }
        closed->txtFilter()->setText(u"大阪"_s);
        closed->Refill();
        list->topLevelItem(0)->setSelected(true);
        closed->cmdDelete_Click();
        closed->txtFilter()->clear();
        closed->Refill();
        EXPECT_EQ(list->topLevelItemCount(), 1) << "大阪 deleted, 東京 open";
        return int(QDialog::Rejected);
    };
    w.ShowClosedQueries();
    ASSERT_NE(w.ActiveForm(), nullptr);
    EXPECT_EQ(Editor().Text(), u"select 東京 from a"_s);
    w.ShowClosedQueries();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(doubles.messages.shown.size(), 1u) << "the delete was asked once";
    const std::vector<store::KeptDocument> closed = Closed();
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(TextOf(closed[0].id), u"update c set x = 1"_s);
}

// A session whose instance ended without closing: a journal given up
// without EndSession, as a crash leaves it.
void LeaveCrashedSession(const store::StorePaths& paths,
                         const std::vector<std::pair<QString, QString>>& documents) {
    store::QueryJournal crashed(paths, [](const JournalProblem&) {});
    for (const auto& [caption, text] : documents)
        crashed.Open(caption, text);
    ASSERT_TRUE(crashed.Flush(kFlushWaitMs));
}

TEST_F(JournalWindows, ACrashedSessionsQueriesAreOfferedOnceAndRestoredWithTheirCaptions) {
    journal.reset();
    LeaveCrashedSession(paths, {{u"無題1"_s, u"select 1\nGO\n"_s},
                                {u"/home/user/daily report.sql"_s, u"select * from report"_s},
                                {u"無題3"_s, QString()}});
    journal = MakeJournal();
    frmMain& w = OpenWithJournal();
    std::vector<QString> listed;
    doubles.modal.script = [&](QDialog& dialog) {
        auto* restore = qobject_cast<frmRestore*>(&dialog);
        EXPECT_NE(restore, nullptr);
        if (!restore)
            return int(QDialog::Rejected);
        EXPECT_EQ(dialog.windowTitle(), u"クエリの復元"_s);
        QTreeWidget* list = restore->lstQueries();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            listed.push_back(list->topLevelItem(i)->text(0));
        restore->cmdRestore_Click();
        return dialog.result();
    };
    w.RestoreCrashedQueries();
    ASSERT_EQ(doubles.modal.titles.size(), 1u);
    EXPECT_EQ(listed.size(), 2u) << "the empty document is not offered";

    QStringList captions, texts;
    for (frmSQL* doc : w.Documents()) {
        captions << doc->Caption();
        texts << doc->txtQry()->Text();
    }
    EXPECT_TRUE(captions.contains(u"/home/user/daily report.sql"_s))
        << captions.join(u", ").toStdString();
    EXPECT_TRUE(texts.contains(u"select 1\r\nGO\r\n"_s));
    EXPECT_TRUE(texts.contains(u"select * from report"_s));

    // Offered once: a second look, here or by another instance, finds nothing.
    w.RestoreCrashedQueries();
    EXPECT_EQ(doubles.modal.titles.size(), 1u);
    EXPECT_TRUE(Closed().empty()) << "restored ones are open here, not also kept as closed";
}

TEST_F(JournalWindows, DiscardedQueriesStayAmongTheClosedOnes) {
    journal.reset();
    LeaveCrashedSession(paths, {{u"無題1"_s, u"select 'discarded'"_s}});
    journal = MakeJournal();
    frmMain& w = OpenWithJournal();
    doubles.modal.script = [](QDialog& dialog) {
        auto* restore = qobject_cast<frmRestore*>(&dialog);
        EXPECT_NE(restore, nullptr);
        if (restore)
            restore->cmdDiscard_Click();
        return int(QDialog::Rejected);
    };
    w.RestoreCrashedQueries();
    EXPECT_EQ(doubles.modal.titles.size(), 1u);
    EXPECT_TRUE(w.Documents().isEmpty());
    const std::vector<store::KeptDocument> closed = Closed();
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(TextOf(closed[0].id), u"select 'discarded'"_s);
    w.RestoreCrashedQueries();
    EXPECT_EQ(doubles.modal.titles.size(), 1u) << "not offered again";
}

TEST_F(JournalWindows, AnotherRunningInstancesQueriesAreNeverOffered) {
    store::QueryJournal other(paths, [](const JournalProblem&) {});
    other.Open(u"無題1"_s, u"select 'still being edited'"_s);
    ASSERT_TRUE(other.Flush(kFlushWaitMs));
    frmMain& w = OpenWithJournal();
    w.RestoreCrashedQueries();
    EXPECT_TRUE(doubles.modal.titles.empty());
    other.EndSession();
}

TEST_F(JournalWindows, AProblemIsToldOnceAndThePanelShowsItUntilWritingResumes) {
    frmMain& w = OpenWithJournal();
    QLabel* panel = w.Panel(u"JOURNAL"_s);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isHidden());
    w.ShowJournalProblem({JournalProblem::Kind::WriteFailed, u"disk full"_s});
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(doubles.messages.shown[0].title, u"警告"_s);
    EXPECT_TRUE(doubles.messages.shown[0].text.contains(u"disk full"_s));
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(panel->text(), u"クエリ未保存"_s);
    w.ShowJournalProblem({JournalProblem::Kind::Resumed, QString()});
    EXPECT_EQ(doubles.messages.shown.size(), 1u) << "no box for a resumption";
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(JournalWindows, ADamagedStoreIsMovedAsideAndToldOnceAfterStartUp) {
    journal.reset();
    QFile damaged(paths.Database());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    QByteArray garbage(64 * 1024, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) & 0xff);
    damaged.write(garbage);
    damaged.close();

    JournalWarnings warnings;
    journal = std::make_unique<store::QueryJournal>(
        paths, [&warnings](const JournalProblem& problem) { warnings.Post(problem); });
    Services services = doubles.services();
    services.journal = journal.get();
    services.store = paths;
    window = Main(services); // the connection dialog is cancelled by the double
    ASSERT_NE(window, nullptr);
    warnings.SetSink(
        [this](const JournalProblem& problem) { window->ShowJournalProblem(problem); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !doubles.messages.shown.empty(); }, 60000));
    QTest::qWait(200);
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_TRUE(doubles.messages.shown[0].text.contains(u"退避"_s))
        << doubles.messages.shown[0].text.toStdString();
    const QStringList aside = QDir(paths.directory).entryList({u"brindle.db.damaged-*"_s});
    ASSERT_FALSE(aside.isEmpty()) << "moved aside, not deleted";
    QFile moved(QDir(paths.directory).filePath(aside.first()));
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), garbage);

    // The program works on, and keeps what is typed in the fresh store.
    QTest::keyClicks(&Editor(), u"select 'fresh'"_s);
    CloseActive();
    const std::vector<store::KeptDocument> closed = Closed();
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(TextOf(closed[0].id), u"select 'fresh'"_s);
    warnings.SetSink({});
}

// The store's file may not grow: typing goes on, the user is told once, and
// everything is written once there is room again.
TEST_F(JournalWindows, AFullDiskLosesNothingAndIsToldOnce) {
    JournalWarnings warnings;
    journal.reset();
    journal = std::make_unique<store::QueryJournal>(
        paths, [&warnings](const JournalProblem& problem) { warnings.Post(problem); });
    frmMain& w = OpenWithJournal();
    warnings.SetSink([&w](const JournalProblem& problem) { w.ShowJournalProblem(problem); });
    w.LoadNewDoc();
    QTest::keyClicks(&Editor(), u"select 1"_s);
    ASSERT_TRUE(journal->Flush(kFlushWaitMs));
    {
        const FileSizeLimit limit(static_cast<rlim_t>(QFileInfo(paths.Database()).size() + 4096));
        ASSERT_TRUE(limit.active());
        QString big;
        while (big.size() < 2 * 1024 * 1024)
            big += u"insert into t values (1, 'ロング テキスト');\r\n"_s;
        Editor().ReplaceText(Editor().Text() + u"\r\n"_s + big);
        QTest::keyClicks(&Editor(), u"-- still typing"_s);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !doubles.messages.shown.empty(); }, 60000));
        for (int i = 0; i < 5; ++i) {
            QTest::keyClicks(&Editor(), u" more"_s);
            QTest::qWait(100);
        }
        EXPECT_EQ(doubles.messages.shown.size(), 1u) << "one box, not one per keystroke";
        EXPECT_FALSE(w.Panel(u"JOURNAL"_s)->isHidden());
        EXPECT_TRUE(Editor().Text().endsWith(u"-- still typing more more more more more"_s));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Panel(u"JOURNAL"_s)->isHidden(); }, 60000))
        << "writing resumes once the file may grow";
    EXPECT_EQ(doubles.messages.shown.size(), 1u);
    const std::vector<store::KeptDocument> all = store::JournalReader(paths).All();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(TextOf(all.front().id), Kept(Editor().Text()));
    warnings.SetSink({});
}

} // namespace
} // namespace brindle::test
