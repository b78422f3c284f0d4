#include "data/frm_connect.h"
#include "data/recordset.h"
#include "shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"
#include "test_backends.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <chrono>
#include <clocale>
#include <thread>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kDone = u"クエリ バッチが完了しました。"_s;
const QString kFailed = u"クエリ バッチはエラーで完了しました。"_s;

bool PgCtl(const QStringList& args, QString& output) {
    QProcess ctl;
    ctl.setProcessChannelMode(QProcess::MergedChannels);
    ctl.start(qEnvironmentVariable("BRINDLE_TEST_PG_CTL"), args);
    const bool finished = ctl.waitForFinished(90'000);
    output = QString::fromLocal8Bit(ctl.readAll());
    return finished && ctl.exitStatus() == QProcess::NormalExit && ctl.exitCode() == 0;
}

// Stops the server `after` the start of the object from a thread of its own,
// while the window's thread is busy in the driver; the destructor waits for
// the stop and then brings the server back whatever the test did.
class ServerStop {
public:
    explicit ServerStop(std::chrono::milliseconds after)
        : m_thread([this, after] {
              std::this_thread::sleep_for(after);
              m_stopped = PgCtl({u"stop"_s, u"-w"_s, u"-m"_s, u"fast"_s}, m_output);
          }) {}
    ~ServerStop() {
        Join();
        Restart();
    }
    ServerStop(const ServerStop&) = delete;
    ServerStop& operator=(const ServerStop&) = delete;

    // Waits for the stop; whether the server went down.
    bool Join() {
        if (m_thread.joinable())
            m_thread.join();
        return m_stopped;
    }
    bool Restart() {
        QString ignored;
        return PgCtl({u"start"_s, u"-w"_s, u"-t"_s, u"60"_s}, ignored);
    }
    const QString& output() const { return m_output; }

private:
    bool m_stopped = false;
    QString m_output;
    std::thread m_thread;
};

// The main window connected to the test server through its own connect
// dialog (F4), with one document. Stopping the shared server would break
// every other PostgreSQL test that runs meanwhile, so ctest runs these
// alone (serial.*, BRINDLE_TEST_SERIAL=1).
class ServerStopped : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (qEnvironmentVariable("BRINDLE_TEST_SERIAL") != u"1")
            GTEST_SKIP() << "runs alone as serial.* under ctest";
        for (const char* name : {"BRINDLE_TEST_PG_DSN", "BRINDLE_TEST_PG_CTL"}) {
            if (qEnvironmentVariableIsEmpty(name)) {
                if (RunningInCi())
                    FAIL() << name << " is not set (scripts/test sets it)";
                GTEST_SKIP() << name << " is not set (scripts/test sets it)";
            }
        }
        ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
        Open();
        Reconnect();
        ASSERT_TRUE(doubles.messages.shown.empty()) << Boxes().toStdString();
        ASSERT_EQ(gcnDB->State(), 1);
        window->LoadNewDoc();
    }

    // F4 with the test login and OK.
    void Reconnect() {
        doubles.modal.script = [](QDialog& shown) {
            auto* dialog = qobject_cast<frmConnect*>(&shown);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return static_cast<int>(QDialog::Rejected);
            dialog->cboDSNList()->setEditText(qEnvironmentVariable("BRINDLE_TEST_PG_DSN"));
            dialog->txtUID()->setText(qEnvironmentVariable("BRINDLE_TEST_PG_UID"));
            dialog->txtPWD()->setText(qEnvironmentVariable("BRINDLE_TEST_PG_PWD"));
            dialog->cmdOK()->click();
            if (dialog->result() != QDialog::Accepted)
                dialog->cmdCancel()->click();
            return dialog->result();
        };
        window->RunMenuItem(u"mnuFileConnect"_s);
    }

    frmSQL& doc() const { return *window->ActiveForm(); }

    // F5 on the whole text; the status text after it.
    QString Run(const QString& text) {
        doc().txtQry()->setText(text);
        window->RunMenuItem(u"mnuQryExec"_s);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer is restored";
        return window->PanelText(u"MESSAGE"_s);
    }

    QString Boxes() const {
        QStringList texts;
        for (const MessageBoxRequest& box : doubles.messages.shown)
            texts.append(box.text);
        return texts.join(u" | ");
    }

    // One error box that carries the driver's account of the lost link.
    void ExpectOneLostConnectionBox() {
        ASSERT_EQ(doubles.messages.shown.size(), 1u) << Boxes().toStdString();
        const MessageBoxRequest& box = doubles.messages.shown[0];
        EXPECT_EQ(box.title, u"エラー"_s);
        EXPECT_EQ(box.style, 16);
        EXPECT_TRUE(box.text.contains(u"connection"_s, Qt::CaseInsensitive))
            << box.text.toStdString();
    }

    // The server goes down while `sql` runs; then everything the user does
    // next must work, and after the server is back F4 and F5 do.
    void StopDuring(const QString& sql) {
        QElapsedTimer timer;
        timer.start();
        {
            ServerStop stop(std::chrono::milliseconds(1500));
            EXPECT_EQ(Run(sql), kFailed);
            ASSERT_TRUE(stop.Join()) << stop.output().toStdString();
            EXPECT_LT(timer.elapsed(), 25'000) << "the lost server ended the run";
            ExpectOneLostConnectionBox();
            EXPECT_EQ(doc().txtQry()->Text(), sql) << "the query text is the user's still";
            EXPECT_EQ(doc().RecordSet().State(), 0);

            // With the server down the window still works: another run
            // fails with one box, and a new document opens.
            doubles.messages.shown.clear();
            EXPECT_EQ(Run(u"SELECT 2 AS b"_s), kFailed);
            EXPECT_EQ(doubles.messages.shown.size(), 1u) << Boxes().toStdString();
            window->LoadNewDoc();
            EXPECT_EQ(doc().Caption(), u"無題2"_s);
            ASSERT_TRUE(stop.Restart());
        }

        doubles.messages.shown.clear();
        Reconnect();
        EXPECT_TRUE(doubles.messages.shown.empty())
            << "reconnecting after the loss: " << Boxes().toStdString();
        ASSERT_EQ(gcnDB->State(), 1);
        doubles.messages.shown.clear();
        EXPECT_EQ(Run(u"SELECT 3 AS c"_s), kDone);
        EXPECT_TRUE(doubles.messages.shown.empty()) << Boxes().toStdString();
        ASSERT_EQ(doc().RecordSet().State(), 1);
        EXPECT_EQ(doc().RecordSet().Value(0).toLongLong(), 3);
    }
};

TEST_F(ServerStopped, DuringARunningQuery) {
    StopDuring(u"SELECT pg_sleep(30)"_s);
}

// The server sends the rows as it makes them, so it stops while the first
// thousands of rows of the result are arriving.
TEST_F(ServerStopped, WhileALargeResultArrives) {
    StopDuring(u"SELECT g, repeat('データ', 40) AS wide, pg_sleep(0.0005) AS slow "
               u"FROM generate_series(1, 40000) AS g"_s);
}

} // namespace
} // namespace brindle::test
