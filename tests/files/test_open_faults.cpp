#include "../shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <random>

using namespace brindle;

namespace {

// Generous on purpose: this catches a window that stops answering, it is
// not a speed target. A sanitized debug build runs the program's own text
// passes unoptimised and several times slower, so it gets more room; both
// leave room for a machine busy with other work.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kAnswerWithinMs = 90'000;
#else
constexpr qint64 kAnswerWithinMs = 60'000;
#endif

class OpenFaults : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(files.isValid());
        Open().LoadNewDoc();
    }
    frmSQL& Active() { return *window->ActiveForm(); }
    RichTextEditor& Editor() { return *Active().txtQry(); }

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = files.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(f.write(bytes), bytes.size());
        return path;
    }

    // Drops the file on the editor as a file manager does: enter, then drop.
    void Drop(const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = Editor().viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Editor().viewport(), &enter);
        ASSERT_TRUE(enter.isAccepted()) << "the editor takes dropped files";
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Editor().viewport(), &drop);
    }

    void OpenCommand(const QString& path) {
        doubles.files.answer = path;
        window->RunMenuItem(QStringLiteral("mnuFileOpen"));
    }

    // Whether the action returned and the event loop ran a queued call again
    // within the bound; `took` says how long that was.
    static bool AnswersAfter(const std::function<void()>& action, qint64& took) {
        QElapsedTimer timer;
        timer.start();
        action();
        bool answered = false;
        // A call still queued when the bound runs out dies with its context.
        const QObject context;
        QTimer::singleShot(0, &context, [&answered] { answered = true; });
        while (!answered && timer.elapsed() < kAnswerWithinMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        took = timer.elapsed();
        return answered && took < kAnswerWithinMs;
    }

    QTemporaryDir files;
};

// About 20 MB of ordinary query text.
QByteArray LargeQueryFile() {
    const QByteArray line("select a.id, b.name from orders a join customers b on a.cid = b.id "
                          "where a.total > 100 -- large\r\n");
    return line.repeated(20 * 1024 * 1024 / line.size());
}

// Random bytes, NULs and stray line ends included, the same on every run.
QByteArray BinaryFile() {
    std::mt19937 random(20240229);
    QByteArray bytes(1024 * 1024, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() % 256);
    for (qsizetype i = 0; i < bytes.size(); i += 997)
        bytes[i] = '\0';
    return bytes;
}

} // namespace

TEST_F(OpenFaults, HugeAndBinaryFilesDroppedOrOpenedKeepTheWindowAnswering) {
    const struct {
        const char* name;
        QByteArray bytes;
        bool plainText; // read back exactly as it stands
    } cases[] = {
        {"a 20 MB query", LargeQueryFile(), true},
        {"random bytes with NULs", BinaryFile(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Write(QStringLiteral("dropped.sql"), c.bytes);
        const QString caption = Active().Caption();
        Editor().setText(QStringLiteral("select 1"));

        qint64 took = 0;
        EXPECT_TRUE(AnswersAfter([&] { Drop(path); }, took))
            << "the window answers again after the drop, not after " << took << " ms";
        EXPECT_TRUE(doubles.messages.shown.empty());
        EXPECT_EQ(Active().Caption(), caption) << "a drop keeps the caption";
        const QString droppedText = Editor().Text();
        EXPECT_NE(droppedText, QStringLiteral("select 1")) << "the file's content replaced it";
        if (c.plainText) {
            EXPECT_TRUE(droppedText == QString::fromLatin1(c.bytes)) << "the text is whole";
        }

        Editor().setText(QStringLiteral("select 2"));
        EXPECT_TRUE(AnswersAfter([&] { OpenCommand(path); }, took))
            << "the window answers again after opening, not after " << took << " ms";
        EXPECT_TRUE(doubles.messages.shown.empty());
        EXPECT_EQ(Active().Caption(), path);
        EXPECT_TRUE(Editor().Text() == droppedText) << "open and drop read a file alike";
        EXPECT_EQ(Editor().TextLength(), droppedText.size());
    }
}
