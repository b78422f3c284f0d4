#include "data/recordset.h"
#include "data/split_batches.h"
#include "editor/rich_text_editor.h"
#include "shell/main_window_fixture.h"
#include "test_backends.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>

#include <clocale>
#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kRunning = u"クエリ バッチ実行中･･･"_s;
const QString kDone = u"クエリ バッチが完了しました。"_s;
const QString kFailed = u"クエリ バッチはエラーで完了しました。"_s;

// A box as it appeared: what it said, the status text and the pointer then.
struct ShownBox {
    MessageBoxRequest request;
    QString status;
    bool hourglass = false;
};

class WatchingBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override {
        const QCursor* pointer = QApplication::overrideCursor();
        shown.push_back({request, window ? window->PanelText(u"MESSAGE"_s) : QString(),
                         pointer && pointer->shape() == Qt::WaitCursor});
        return MsgResultOk;
    }
    const frmMain* window = nullptr;
    std::vector<ShownBox> shown;
};

// A main window connected to a fresh database of each kind, with one
// document open.
class BatchExecution : public MainWindowTest, public testing::WithParamInterface<BackendKind> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(scratch.isValid());
        if (OpenConnectionTo(*gcnDB, GetParam(), scratch.path()).isNull())
            return;

        boxes.window = &OpenWithBoxes(boxes);
        window->LoadNewDoc();
        // The editor colours what it is given; that must not add boxes.
        ASSERT_TRUE(boxes.shown.empty());
    }

    frmSQL& doc() const { return *window->ActiveForm(); }
    Recordset& rs() const { return doc().RecordSet(); }

    // Runs the whole text as F5 does and returns the status text after it.
    QString Run(const QString& text) {
        doc().txtQry()->setText(text);
        window->RunMenuItem(u"mnuQryExec"_s);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer is restored";
        return window->PanelText(u"MESSAGE"_s);
    }

    // Runs a statement beside the window, on the same connection.
    void Exec(const QString& sql) {
        Command command;
        command.setActiveConnection(gcnDB.get());
        command.setCommandText(sql);
        Recordset none;
        const Thrown thrown = ErrorOf([&] { none.Open(command); });
        ASSERT_EQ(thrown.number, 0)
            << sql.toStdString() << ": " << thrown.description.toStdString();
    }

    // The n column of the side-effect table, in order.
    std::vector<qint64> SideEffects() {
        Command command;
        command.setActiveConnection(gcnDB.get());
        command.setCommandText(u"SELECT n FROM side ORDER BY n"_s);
        Recordset side;
        side.Open(command);
        std::vector<qint64> values;
        for (qsizetype row = 0; row < side.RecordCount(); ++row)
            values.push_back(side.Value(row, 0).toLongLong());
        return values;
    }

    void ExpectOneErrorBox(const char* what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].request.title, u"エラー"_s);
        EXPECT_EQ(boxes.shown[0].request.style, 16);
        EXPECT_FALSE(boxes.shown[0].request.text.isEmpty());
    }

    QTemporaryDir scratch;
    WatchingBoxes boxes;
};

TEST_P(BatchExecution, NotConnectedWarnsBeforeAnythingIsSplitOrRun) {
    ASSERT_EQ(Run(u"SELECT 1 AS a"_s), kDone);
    gcnDB->Close();
    boxes.shown.clear();
    // A text too long to split would fail with its own error if it were split.
    EXPECT_EQ(Run(u"x\n"_s.repeated(MaxBatchPieces)), kFailed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].request.title, u"警告"_s);
    EXPECT_EQ(boxes.shown[0].request.text, u"データベースに接続されていません。"_s);
    EXPECT_EQ(boxes.shown[0].status, kRunning);
    EXPECT_FALSE(boxes.shown[0].hourglass);
    ASSERT_EQ(rs().State(), 1) << "the last result stays";
    EXPECT_EQ(rs().Value(0).toLongLong(), 1);
}

TEST_P(BatchExecution, ScriptOfBatchesLeavesTheLastResult) {
    const QString japanese = JapaneseText(BackendOf(GetParam()));
    const QString script =
        u"CREATE TEMPORARY TABLE v (k integer, s varchar(50), i bigint, d double precision, "
        u"dt date, z varchar(10))\n"
        u"go\n"
        u"INSERT INTO v VALUES (1, '"_s +
        japanese +
        u"', 9007199254740993, 2.5, '2024-02-29', NULL)\n"
        u"  Go  \n"
        u"INSERT INTO v VALUES (2, NULL, NULL, NULL, NULL, '')\n"
        u"GO\n"
        u"SELECT s AS 名前, i, d, dt, z FROM v ORDER BY k"_s;
    EXPECT_EQ(Run(script), kDone);
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_EQ(rs().State(), 1);
    ASSERT_EQ(rs().RecordCount(), 2);
    EXPECT_EQ(rs().FieldName(0), u"名前"_s);
    EXPECT_EQ(rs().Value(0), QVariant(japanese));
    EXPECT_EQ(rs().Value(1), QVariant::fromValue<qint64>(9007199254740993));
    EXPECT_EQ(rs().Value(2), QVariant(2.5));
    EXPECT_EQ(rs().Value(3), QVariant(QDate(2024, 2, 29)));
    EXPECT_TRUE(rs().Value(4).isNull());
    rs().MoveNext();
    for (int field = 0; field < 4; ++field) {
        SCOPED_TRACE(field);
        EXPECT_TRUE(rs().Value(field).isNull());
    }
    EXPECT_EQ(rs().Value(4), QVariant(QString())) << "an empty string is not NULL";
    EXPECT_FALSE(rs().Value(4).isNull());
}

TEST_P(BatchExecution, ResultShapesThatAreNotRows) {
    struct ShapeCase {
        const char* name;
        QString text;
        int state; // of the result set afterwards
        qsizetype records;
    };
    Exec(u"CREATE TEMPORARY TABLE side (n integer)"_s);
    const ShapeCase cases[] = {
        {"an empty result", u"SELECT n FROM side WHERE n > 0"_s, 1, 0},
        {"a statement without rows", u"INSERT INTO side VALUES (1)"_s, 0, 0},
        {"empty text", u""_s, 0, 0},
        {"only GO: two empty batches", u"GO"_s, 0, 0},
        {"a trailing GO closes the last real result", u"SELECT 1 AS a\r\nGO"_s, 0, 0},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Each starts with an open result, so closing it is seen.
        ASSERT_EQ(Run(u"SELECT 1 AS a"_s), kDone);
        ASSERT_EQ(rs().State(), 1);
        EXPECT_EQ(Run(c.text), kDone);
        EXPECT_TRUE(boxes.shown.empty());
        ASSERT_EQ(rs().State(), c.state);
        if (c.state == 1) {
            EXPECT_EQ(rs().RecordCount(), c.records);
            EXPECT_TRUE(rs().IsEOF());
            EXPECT_TRUE(rs().IsBOF());
        }
        boxes.shown.clear();
    }
}

TEST_P(BatchExecution, GoAndALineBreakSendsTheLineEndsUnchanged) {
    const QString status = Run(u"SELECT 1 AS a\r\nGO\r\n"_s);
    // The editor ends paragraphs in CR LF: the last batch is two CRs, sent
    // as they are; what the database makes of them is its own business.
    EXPECT_EQ(gcmdDB->CommandText(), u"\r\r"_s);
    EXPECT_EQ(rs().State(), 0);
    if (boxes.shown.empty()) {
        EXPECT_EQ(status, kDone);
    } else {
        ExpectOneErrorBox("the database refused blank text");
        EXPECT_EQ(status, kFailed);
    }
}

TEST_P(BatchExecution, SecondOfThreeFailsFirstResultDiscardedThirdNeverRuns) {
    Exec(u"CREATE TEMPORARY TABLE side (n integer)"_s);
    const QString script = u"INSERT INTO side VALUES (1)\r\n"
                           u"GO\r\n"
                           u"SELECT * FROM brindle_no_such_table\r\n"
                           u"GO\r\n"
                           u"INSERT INTO side VALUES (3)"_s;
    EXPECT_EQ(Run(script), kFailed);
    ExpectOneErrorBox("the failing batch");
    EXPECT_TRUE(boxes.shown[0].request.text.contains(u"brindle_no_such_table"_s))
        << boxes.shown[0].request.text.toStdString();
    EXPECT_EQ(boxes.shown[0].status, kRunning);
    EXPECT_TRUE(boxes.shown[0].hourglass) << "the batch's box comes while the batches run";
    EXPECT_EQ(SideEffects(), std::vector<qint64>{1});

    boxes.shown.clear();
    EXPECT_EQ(Run(u"SELECT 7 AS a\nGO\nSELEC 1\nGO\nINSERT INTO side VALUES (3)"_s), kFailed);
    ExpectOneErrorBox("a syntax error");
    EXPECT_EQ(rs().State(), 0) << "the first batch's rows are gone";
    EXPECT_EQ(SideEffects(), std::vector<qint64>{1});
}

TEST_P(BatchExecution, SyntaxErrorShowsTheDriversDescription) {
    EXPECT_EQ(Run(u"SELEC 1"_s), kFailed);
    ExpectOneErrorBox("syntax error");
    const QString text = boxes.shown[0].request.text;
    EXPECT_TRUE(text.startsWith(u'[')) << "SQLSTATE first: " << text.toStdString();
    EXPECT_TRUE(text.contains(u"SELEC"_s) || text.contains(u"syntax"_s)) << text.toStdString();
    // The connection is still good.
    boxes.shown.clear();
    EXPECT_EQ(Run(u"SELECT 3 AS n"_s), kDone);
    EXPECT_EQ(rs().Value(0).toLongLong(), 3);
}

TEST_P(BatchExecution, OnlyTheSelectionRuns) {
    RichTextEditor& editor = *doc().txtQry();
    editor.setText(u"SELECT 1 AS first\r\nSELECT 2 AS second\r\nSELECT 3 AS third"_s);
    const int start = static_cast<int>(editor.Text().indexOf(u"SELECT 2"_s));
    editor.setSelStart(start);
    editor.setSelLength(18);
    ASSERT_EQ(editor.SelText(), u"SELECT 2 AS second"_s);
    window->RunMenuItem(u"mnuQryExec"_s);
    EXPECT_EQ(window->PanelText(u"MESSAGE"_s), kDone);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(gcmdDB->CommandText(), u"SELECT 2 AS second\r"_s);
    ASSERT_EQ(rs().State(), 1);
    EXPECT_EQ(rs().FieldName(0), u"second"_s);
    EXPECT_EQ(rs().Value(0).toLongLong(), 2);
}

TEST_P(BatchExecution, TooManyLinesOverflowBeforeAnyBatchIsSent) {
    Exec(u"CREATE TEMPORARY TABLE side (n integer)"_s);
    // 16,385 lines joined by CR LF are 32,769 pieces.
    const QString text = u"INSERT INTO side VALUES (1)\n"_s + u"x\n"_s.repeated(16384);
    EXPECT_EQ(Run(text), kFailed);
    ExpectOneErrorBox("overflow");
    EXPECT_EQ(boxes.shown[0].request.text, u"オーバーフローしました。"_s);
    EXPECT_FALSE(boxes.shown[0].hourglass);
    EXPECT_TRUE(SideEffects().empty());
}

TEST_P(BatchExecution, PendingEditsAreCancelledOnceAndTheBatchRetried) {
    ASSERT_EQ(Run(u"SELECT 1 AS a"_s), kDone);
    rs().PendingEdits().push_back({0, 0, QVariant::fromValue<qint64>(5)});
    EXPECT_EQ(Run(u"SELECT 2 AS b"_s), kDone);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(rs().PendingEdits().empty());
    ASSERT_EQ(rs().State(), 1);
    EXPECT_EQ(rs().Value(0).toLongLong(), 2);

    // The retry failing too is shown once, with the retry's own description.
    rs().PendingEdits().push_back({0, 0, QVariant::fromValue<qint64>(5)});
    EXPECT_EQ(Run(u"SELEC 2"_s), kFailed);
    ExpectOneErrorBox("the retry fails");
    EXPECT_NE(boxes.shown[0].request.text,
              u"オブジェクトが開いている場合は、操作は許可されません。"_s);
    EXPECT_EQ(rs().State(), 0);
}

TEST_P(BatchExecution, TimeOutEndsALongBatchAndZeroMeansNoLimit) {
    const Backend& backend = BackendOf(GetParam());
    if (!backend.canSleep())
        GTEST_SKIP() << "SQLite has no sleeping statement";
    gcmdDB->setCommandTimeout(1);
    QElapsedTimer timer;
    timer.start();
    // Far short of the statement's own 30 s, however busy the machine.
    EXPECT_EQ(Run(u"SELECT "_s + backend.sleep(30)), kFailed);
    EXPECT_LT(timer.elapsed(), 20000);
    ExpectOneErrorBox("time-out");
    EXPECT_EQ(rs().State(), 0);

    boxes.shown.clear();
    gcmdDB->setCommandTimeout(0);
    EXPECT_EQ(Run(u"SELECT "_s + backend.sleep(3) + u"\nGO\nSELECT 1 AS a"_s), kDone);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(rs().Value(0).toLongLong(), 1);
}

BRINDLE_ALL_BACKENDS(BatchExecution);

// Stopping the shared server would break every other PostgreSQL test that
// runs meanwhile, so ctest runs this alone (serial.*, BRINDLE_TEST_SERIAL=1).
using BatchServerRestart = BatchExecution;

bool PgCtl(const QStringList& args, QString& output) {
    QProcess ctl;
    ctl.setProcessChannelMode(QProcess::MergedChannels);
    ctl.start(qEnvironmentVariable("BRINDLE_TEST_PG_CTL"), args);
    const bool finished = ctl.waitForFinished(90'000);
    output = QString::fromLocal8Bit(ctl.readAll());
    return finished && ctl.exitStatus() == QProcess::NormalExit && ctl.exitCode() == 0;
}

TEST_P(BatchServerRestart, ServerStoppedBetweenRunsThenReconnect) {
    if (qEnvironmentVariable("BRINDLE_TEST_SERIAL") != u"1")
        GTEST_SKIP() << "runs alone as serial.* under ctest";
    if (qEnvironmentVariableIsEmpty("BRINDLE_TEST_PG_CTL")) {
        if (RunningInCi())
            FAIL() << "BRINDLE_TEST_PG_CTL is not set (scripts/test sets it)";
        GTEST_SKIP() << "BRINDLE_TEST_PG_CTL is not set (scripts/test sets it)";
    }
    ASSERT_EQ(Run(u"SELECT 1 AS a"_s), kDone);

    QString output;
    ASSERT_TRUE(PgCtl({u"stop"_s, u"-w"_s, u"-m"_s, u"fast"_s}, output)) << output.toStdString();
    // Whatever happens next, the server is back for the tests after this one.
    struct Restart {
        ~Restart() {
            QString ignored;
            PgCtl({u"start"_s, u"-w"_s, u"-t"_s, u"60"_s}, ignored);
        }
    } restart;

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        boxes.shown.clear();
        EXPECT_EQ(Run(u"SELECT 2 AS b"_s), kFailed);
        ExpectOneErrorBox("the server is gone");
        EXPECT_EQ(rs().State(), 0);
    }

    ASSERT_TRUE(PgCtl({u"start"_s, u"-w"_s, u"-t"_s, u"60"_s}, output)) << output.toStdString();
    // Reconnecting, as the connection dialog does: closing a dead link may
    // report a failure, and the connection is closed all the same.
    ErrorOf([] { gcnDB->Close(); });
    EXPECT_EQ(gcnDB->State(), 0);
    const Thrown reopened = ErrorOf([] { gcnDB->Open(); });
    ASSERT_EQ(reopened.number, 0) << reopened.description.toStdString();
    boxes.shown.clear();
    EXPECT_EQ(Run(u"SELECT 3 AS c"_s), kDone);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(rs().Value(0).toLongLong(), 3);
}

INSTANTIATE_TEST_SUITE_P(Databases, BatchServerRestart, ::testing::Values(BackendKind::PostgreSQL),
                         BackendName);

} // namespace
} // namespace brindle::test
