#include "data/batch_executor.h"
#include "data/batch_progress_dialog.h"
#include "data/odbc_check.h"
#include "data/odbc_object_errors.h"
#include "data/recordset.h"
#include "data/threaded_batch_executor.h"
#include "editor/rich_text_editor.h"
#include "shell/main_window_fixture.h"
#include "test_backends.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kDone = u"クエリ バッチが完了しました。"_s;
const QString kFailed = u"クエリ バッチはエラーで完了しました。"_s;

// Boxes as they appeared, and whether the progress was still over the window.
class WatchingBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override {
        shown.push_back(request);
        const auto* progress = window ? window->findChild<QDialog*>(u"batchProgress"_s) : nullptr;
        progressVisible.push_back(progress && progress->isVisible());
        return MsgResultOk;
    }
    const QWidget* window = nullptr;
    std::vector<MessageBoxRequest> shown;
    std::vector<bool> progressVisible;
};

// The main window on a test server (the databases here with a statement
// that sleeps), one document open.
class ResponsiveExecution : public MainWindowTest, public testing::WithParamInterface<BackendKind> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(scratch.isValid());
        if (OpenConnectionTo(*gcnDB, GetParam(), scratch.path()).isNull())
            return;
        boxes.window = &OpenWithBoxes(boxes);
        window->LoadNewDoc();
    }

    const Backend& backend() const { return BackendOf(GetParam()); }
    QString SleepFor(double seconds) const { return u"SELECT "_s + backend().sleep(seconds); }
    frmSQL& doc() const { return *window->ActiveForm(); }
    QDialog* progress() const { return window->findChild<QDialog*>(u"batchProgress"_s); }
    QString progressText(const char* label) const {
        const auto* found =
            progress() ? progress()->findChild<QLabel*>(QLatin1String(label)) : nullptr;
        return found ? found->text() : u"<none>"_s;
    }

    // F5 on the text; `during` runs from the event loop after `afterMs`.
    QString Run(const QString& text, int afterMs = 0, const std::function<void()>& during = {}) {
        doc().txtQry()->setText(text);
        if (during)
            QTimer::singleShot(afterMs, window.get(), during);
        window->RunMenuItem(u"mnuQryExec"_s);
        return window->PanelText(u"MESSAGE"_s);
    }
    // F5 on the text; once the progress dialog is visible, `onShown` runs at
    // every chance the window gets until it returns true. A run that ends
    // first simply returns its status.
    QString RunCancellingOnceShown(const QString& text, const std::function<bool()>& onShown) {
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (progress() && progress()->isVisible() && onShown())
                poll.stop();
        });
        poll.start();
        return Run(text);
    }
    void ClickCancel() const {
        ASSERT_NE(progress(), nullptr);
        ASSERT_TRUE(progress()->isVisible());
        auto* button = progress()->findChild<QPushButton*>(u"cmdCancel"_s);
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Whether the shared connection still runs a query, read into the grid.
    void ExpectUsable() {
        boxes.shown.clear();
        EXPECT_EQ(Run(u"SELECT 1 AS a"_s), kDone);
        EXPECT_TRUE(boxes.shown.empty());
        ASSERT_EQ(doc().RecordSet().State(), 1);
        EXPECT_EQ(doc().RecordSet().Value(0).toLongLong(), 1);
    }

    QTemporaryDir scratch;
    WatchingBoxes boxes;
};

TEST_P(ResponsiveExecution, CancelStopsTheRunningStatementAndTheConnectionGoesOn) {
    for (const bool byEscape : {true, false}) {
        SCOPED_TRACE(byEscape ? "Esc" : "キャンセル");
        boxes.shown.clear();
        boxes.progressVisible.clear();
        QElapsedTimer timer;
        timer.start();
        QString running;
        const QString status = RunCancellingOnceShown(SleepFor(30), [&] {
            running = progressText("lblRunning");
            if (byEscape)
                QTest::keyClick(progress(), Qt::Key_Escape);
            else
                ClickCancel();
            return true;
        });
        EXPECT_EQ(running, u"クエリ バッチ実行中･･･"_s) << "a new run is not shown cancelling";
        // Far short of the statement's 30 s, however busy the machine.
        EXPECT_LT(timer.elapsed(), 20000) << "control is back after the cancel";
        EXPECT_EQ(status, kFailed);
        ASSERT_EQ(boxes.shown.size(), 1u) << "the cancel is reported once";
        EXPECT_TRUE(boxes.shown[0].text.contains(backend().cancelledText, Qt::CaseInsensitive))
            << boxes.shown[0].text.toStdString();
        EXPECT_FALSE(boxes.progressVisible[0]) << "the box is not under the progress";
        EXPECT_EQ(doc().RecordSet().State(), 0);
        EXPECT_FALSE(progress()->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        ExpectUsable();
    }
}

TEST_P(ResponsiveExecution, ACancelledBatchEndsTheRunBeforeTheNextOne) {
    QString batchShown;
    const QString status =
        RunCancellingOnceShown(u"CREATE TEMPORARY TABLE ran (n integer)\nGO\n"_s + SleepFor(30) +
                                   u"\nGO\nINSERT INTO ran VALUES (3)"_s,
                               [&] {
                                   batchShown = progressText("lblBatch");
                                   ClickCancel();
                                   return true;
                               });
    EXPECT_EQ(status, kFailed);
    EXPECT_EQ(batchShown, u"バッチ: 2 / 3"_s);
    EXPECT_EQ(boxes.shown.size(), 1u);

    boxes.shown.clear();
    EXPECT_EQ(Run(u"SELECT count(*) AS c FROM ran"_s), kDone);
    ASSERT_EQ(doc().RecordSet().State(), 1);
    EXPECT_EQ(doc().RecordSet().Value(0).toLongLong(), 0) << "the third batch never ran";
}

TEST_P(ResponsiveExecution, TheWindowKeepsRunningAndProgressShowsOnlyForLongRuns) {
    EXPECT_EQ(Run(SleepFor(0.05) + u" AS s"_s), kDone);
    EXPECT_EQ(progress(), nullptr) << "no dialog for a short query";

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(50);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();
    // The window system's close comes through while input waits; it must
    // not take the document from under the running batch.
    bool closed = true;
    QTimer::singleShot(200, window.get(), [&] { closed = window->close(); });
    // Sampled well inside the second batch's 6 s, so a busy machine still
    // finds it running.
    QString rows, elapsed;
    const QString status = Run(u"SELECT 1 AS a\nGO\nSELECT x AS n FROM "_s + backend().series(300) +
                                   u", "_s + backend().sleepingRow(6),
                               1600, [&] {
                                   rows = progressText("lblRows");
                                   elapsed = progressText("lblElapsed");
                               });
    ticker.stop();
    EXPECT_EQ(status, kDone);
    EXPECT_GE(ticks, 20) << "a timer of the window's thread fired all through the 6 s";
    const QRegularExpressionMatch seconds =
        QRegularExpression(u"^経過時間: (\\d+) 秒$"_s).match(elapsed);
    ASSERT_TRUE(seconds.hasMatch()) << elapsed.toStdString();
    EXPECT_GE(seconds.captured(1).toInt(), 1) << "the time of the whole run, not of the batch";
    EXPECT_EQ(rows, u"取得した行: 1"_s) << "the first batch's row, counted";
    EXPECT_FALSE(progress()->isVisible());
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(doc().RecordSet().RecordCount(), 300);
    EXPECT_TRUE(boxes.shown.empty());
}

// Scripts of many short batches, each lasting several seconds in all: the
// half second counts for the run, however short each batch is, and on a slow
// server or a busy machine as much as on an idle one.
TEST_P(ResponsiveExecution, AScriptOfShortBatchesShowsItsProgressAndCanBeCancelled) {
    struct Script {
        const char* name;
        double seconds;
        int count;
    };
    const Script scripts[] = {
        // Well under a millisecond, and as many as a run takes (two lines a
        // batch), for a few seconds in all.
        {"about 0 ms each", 0.0005, 7500},
        {"about 3 ms each", 0.003, 2000},
        {"about 30 ms each", 0.03, 200},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        boxes.shown.clear();
        boxes.progressVisible.clear();
        ASSERT_EQ(
            Run(u"DROP TABLE IF EXISTS quick\nGO\nCREATE TEMPORARY TABLE quick (n integer)"_s),
            kDone);
        QString text;
        text.reserve(script.count * 60);
        const QString batch =
            u"INSERT INTO quick SELECT 1 FROM "_s + backend().sleepingRow(script.seconds);
        for (int i = 0; i < script.count; ++i)
            text += batch + u"\nGO\n"_s;

        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(50);
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start();
        // Cancelled once the dialog has been brought up to date after it
        // appeared: it is shown, and it goes on being updated. On the cancel
        // it shows the batch being stopped.
        QString firstShown, batchShown;
        const QString status = RunCancellingOnceShown(text, [&] {
            const QString now = progressText("lblBatch");
            if (firstShown.isEmpty())
                firstShown = now;
            if (now == firstShown)
                return false;
            ClickCancel();
            batchShown = progressText("lblBatch");
            return true;
        });
        ticker.stop();

        EXPECT_EQ(status, kFailed);
        EXPECT_GE(ticks, 3) << "the window's timers fired between the batches";
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_TRUE(boxes.shown[0].text == CancelledError().description() ||
                    boxes.shown[0].text.contains(backend().cancelledText, Qt::CaseInsensitive))
            << boxes.shown[0].text.toStdString();
        EXPECT_FALSE(boxes.progressVisible[0]);
        ASSERT_NE(progress(), nullptr);
        EXPECT_FALSE(progress()->isVisible());

        // "バッチ: 1,234 / 7,501": the pieces after the last GO count too.
        const QRegularExpressionMatch shown =
            QRegularExpression(u"^バッチ: ([\\d,]+) / ([\\d,]+)$"_s).match(batchShown);
        ASSERT_TRUE(shown.hasMatch()) << batchShown.toStdString();
        const auto number = [&](int i) {
            return shown.captured(i).remove(u',').toInt();
        };
        EXPECT_EQ(number(2), script.count + 1);
        const int lastShown = number(1);

        boxes.shown.clear();
        ASSERT_EQ(Run(u"SELECT count(*) AS c FROM quick"_s), kDone);
        const qint64 inserted = doc().RecordSet().Value(0).toLongLong();
        // The batch shown had finished or was stopped; none after it ran.
        EXPECT_LE(inserted, lastShown);
        EXPECT_GE(inserted, lastShown - 1);
        EXPECT_LT(inserted, script.count);
    }
}

TEST_P(ResponsiveExecution, TheTimeOutStillEndsALongStatement) {
    gcmdDB->setCommandTimeout(1);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(Run(SleepFor(30)), kFailed);
    EXPECT_LT(timer.elapsed(), 20000) << "the time-out, not the statement, ended it";
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(boxes.progressVisible[0]);
    ExpectUsable();
}

BRINDLE_SERVER_BACKENDS(ResponsiveExecution);

// The executor without the window: results and failures of many quick
// batches come back whole from the worker, on each kind of database.
class ThreadedBatches : public DatabaseTest {};

TEST_P(ThreadedBatches, ResultsAndFailuresComeBackWhole) {
    ThreadedBatchExecutor executor(nullptr);
    command.setExecutor(&executor);
    const QString japanese = JapaneseText(backend());
    for (int i = 0; i < 200; ++i) {
        executor.SetBatch(i + 1, 200);
        if (rs.State() != 0)
            rs.Close();
        command.setCommandText(u"SELECT "_s + QString::number(i) + u" AS n, '"_s + japanese +
                               u"' AS t"_s);
        rs.Open(command);
        ASSERT_EQ(rs.Value(0).toLongLong(), i);
        ASSERT_EQ(rs.Value(1).toString(), japanese);
    }
    rs.Close();
    command.setCommandText(u"SELECT * FROM no_such_table"_s);
    const Thrown thrown = ErrorOf([&] { rs.Open(command); });
    EXPECT_NE(thrown.number, 0);
    EXPECT_TRUE(thrown.description.contains(u"no_such_table"_s))
        << thrown.description.toStdString();
    EXPECT_EQ(rs.State(), 0);
    executor.EndRun();
    command.setExecutor(nullptr);
}

TEST_P(ThreadedBatches, ShortAndBlankBatchesLeaveTheConnectionFreeForTheNext) {
    ThreadedBatchExecutor executor(nullptr);
    command.setExecutor(&executor);
    // MariaDB's driver refuses statements under five characters itself and
    // then keeps the connection locked against every other thread; the
    // program refuses them in its place.
    for (const QString& text : {u"\r\r"_s, u";"_s, u"DO 1"_s}) {
        SCOPED_TRACE(text.toStdString());
        executor.SetBatch(1, 1);
        if (rs.State() != 0)
            rs.Close();
        command.setCommandText(text);
        const Thrown thrown = ErrorOf([&] { rs.Open(command); });
        if (backend().blankBatch == BlankBatch::Fails) {
            EXPECT_EQ(thrown.number, odbc::kOdbcFailure);
            EXPECT_EQ(thrown.description,
                      u"[42000] 5 文字に満たない文は、このドライバーでは実行できません。"_s);
        }
        // This thread's calls go through (a locked connection waits for ever).
        EXPECT_EQ(ErrorOf([&] { connection.CommitTrans(); }).number, 0);
        executor.SetBatch(1, 1);
        Query(u"SELECT 2 AS n"_s);
        EXPECT_EQ(rs.Value(0).toLongLong(), 2);
    }
    executor.EndRun();
    command.setExecutor(nullptr);
}

BRINDLE_ALL_BACKENDS(ThreadedBatches);

} // namespace
} // namespace brindle::test
