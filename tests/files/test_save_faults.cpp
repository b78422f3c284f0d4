#include "../shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace brindle;

namespace {

using test::FileSizeLimit;

class SaveFaults : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(files.isValid());
        Open().LoadNewDoc();
    }
    frmSQL& Active() { return *window->ActiveForm(); }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    QStringList Entries() const {
        return QDir(files.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void Command(const char16_t* item, const QString& path) {
        doubles.files.answer = path;
        window->RunMenuItem(QString::fromUtf16(item));
    }
    QTemporaryDir files;
};

// An unusual mode, so that a file created afresh would not have it by chance.
constexpr mode_t kMode = 0604;

mode_t Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

QByteArray Cp932(const QString& text) {
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

// About a megabyte of query text, Japanese included, far past the limit.
QString LargeQuery() {
    return QStringLiteral("select '日本語', id from t where id = 12345\r\n").repeated(25'000);
}

} // namespace

TEST_F(SaveFaults, AWriteThatFailsPartWayLeavesTheOldFileAndTheDocument) {
    const QByteArray old = Cp932(QStringLiteral("select '旧版' from t\r\n").repeated(2'000));
    const QString target = files.filePath(QStringLiteral("query.sql"));
    const struct {
        const char* name;
        bool openedFromTarget; // else an untitled document saved over it
        rlim_t limit;
    } cases[] = {
        {"the document's own file, cut after 64 KB", true, 64 * 1024},
        {"the document's own file, not one byte written", true, 0},
        {"an untitled document saved over a file", false, 64 * 1024},
    };
    const QString large = LargeQuery();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(f.write(old), old.size());
        }
        ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), kMode), 0);
        if (c.openedFromTarget) {
            Command(u"mnuFileOpen", target);
            ASSERT_EQ(Active().Caption(), target);
        } else {
            window->LoadNewDoc();
        }
        Active().txtQry()->setText(large);
        const QString caption = Active().Caption();
        const QString storedBefore = Stored(u"SAVE_SQL", u"SAVE_SQL");
        doubles.messages.shown.clear();
        {
            const FileSizeLimit limit(c.limit);
            ASSERT_TRUE(limit.active());
            Command(u"mnuFileSave", target);
        }
        ASSERT_EQ(doubles.messages.shown.size(), 1u);
        EXPECT_EQ(doubles.messages.shown[0].title, QStringLiteral("エラー"));
        EXPECT_TRUE(doubles.messages.shown[0].text.contains(target))
            << doubles.messages.shown[0].text.toStdString();
        EXPECT_EQ(Bytes(target), old) << "the old file is untouched";
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("query.sql")}) << "no half-written file";
        EXPECT_EQ(Active().Caption(), caption);
        EXPECT_EQ(Active().txtQry()->Text(), large);
        EXPECT_EQ(Stored(u"SAVE_SQL", u"SAVE_SQL"), storedBefore);

        // Once there is room the same document saves whole, and the file
        // keeps the permissions it had.
        doubles.messages.shown.clear();
        Command(u"mnuFileSave", target);
        EXPECT_TRUE(doubles.messages.shown.empty());
        EXPECT_EQ(Bytes(target), Cp932(large));
        EXPECT_EQ(Mode(target), kMode);
        EXPECT_EQ(Active().Caption(), target);
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("query.sql")});
    }
}
