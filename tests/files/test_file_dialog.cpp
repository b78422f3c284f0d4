// The real file dialog, driven from a timer while it runs modally.

#include "files/file_dialog_service.h"
#include "shell/message_box_service.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include "support/print_qt.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

namespace brindle {
namespace {

// Answers the questions in turn (Yes when none is left) and records them.
class AnsweringBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override {
        texts.push_back(request.text);
        if (answers.empty())
            return MsgResultYes;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<int> answers;
    std::vector<QString> texts;
};

// Each time the dialog is shown, the next step acts on it: a path to accept,
// or an empty string to cancel.
class DialogDriver {
public:
    explicit DialogDriver(std::vector<QString> steps) : m_steps(std::move(steps)) {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    int shown = 0;
    QStringList filters;
    QString selectedFilter;

private:
    void Poll() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog == m_last)
            return;
        m_last = dialog;
        filters = dialog->nameFilters();
        selectedFilter = dialog->selectedNameFilter();
        const QString step = shown < static_cast<int>(m_steps.size()) ? m_steps[shown] : QString();
        ++shown;
        QTimer::singleShot(0, dialog, [dialog, step] {
            if (step.isEmpty()) {
                dialog->reject();
            } else {
                // Typed into the name field, as a user does.
                if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    name->setText(step);
                // accept() is a protected slot: reached as the OK button would.
                QMetaObject::invokeMethod(dialog, "accept");
            }
        });
        // The same dialog object is shown again after a refused choice.
        QTimer::singleShot(100, [this] { m_last = nullptr; });
    }

    std::vector<QString> m_steps;
    QTimer m_timer;
    QFileDialog* m_last = nullptr;
};

class FileDialogTest : public ::testing::Test {
protected:
    QString Existing(const char* name) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        return path;
    }
    QTemporaryDir dir;
    AnsweringBoxes boxes;
    QtFileDialogService service{boxes};
};

TEST_F(FileDialogTest, SaveOverAnExistingFileAsksFirst) {
    const QString path = Existing("a.sql");
    boxes.answers = {MsgResultNo, MsgResultYes};
    DialogDriver driver({path, path});
    const std::optional<QString> chosen = service.ShowSave(nullptr, path);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, path);
    EXPECT_EQ(driver.shown, 2) << "a refused overwrite shows the dialog again";
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[0], path + QStringLiteral("\nは既に存在します。上書きしますか？"));
    EXPECT_EQ(driver.filters, (QStringList{QStringLiteral("SQLファイル (*.sql)"),
                                           QStringLiteral("すべてのファイル (*)")}));
    EXPECT_EQ(driver.selectedFilter, QStringLiteral("SQLファイル (*.sql)"));
}

TEST_F(FileDialogTest, ANameThatDoesNotExistIsAskedAboutAndCancelEndsQuietly) {
    const QString missing = dir.filePath(QStringLiteral("new.sql"));
    boxes.answers = {MsgResultNo};
    DialogDriver driver({missing, QString()});
    EXPECT_FALSE(service.ShowOpen(nullptr, missing).has_value());
    EXPECT_EQ(driver.shown, 2);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              missing + QStringLiteral("\nこのファイルは存在しません。作成しますか？"));
}

TEST_F(FileDialogTest, OpenAnExistingFileAsksNothing) {
    const QString path = Existing("b.sql");
    DialogDriver driver({path});
    EXPECT_EQ(service.ShowOpen(nullptr, dir.filePath(QStringLiteral("last.sql"))),
              std::optional<QString>(path));
    EXPECT_TRUE(boxes.texts.empty());
}

} // namespace
} // namespace brindle
