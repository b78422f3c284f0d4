#include "../shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"
#include "support/without_root_access.h"

#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <unistd.h>

using namespace brindle;

namespace {

class FileCommandTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = files.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    frmSQL& Active() { return *window->ActiveForm(); }
    void OpenFile(const QString& path) {
        doubles.files.answer = path;
        window->RunMenuItem(QStringLiteral("mnuFileOpen"));
    }
    void SaveFile(const QString& path) {
        doubles.files.answer = path;
        window->RunMenuItem(QStringLiteral("mnuFileSave"));
    }
    QTemporaryDir files;
};

} // namespace

TEST_F(FileCommandTest, OpenWithoutADocumentCreatesOneAndFillsIt) {
    const QString path = Write(QStringLiteral("q.sql"), QByteArray("select 1\nfrom t"));
    OpenFile(path);
    ASSERT_EQ(window->Documents().size(), 1);
    EXPECT_EQ(Active().Caption(), path);
    EXPECT_EQ(Active().txtQry()->Text(), QStringLiteral("select 1\r\nfrom t\r\n"));
    EXPECT_EQ(Stored(u"OPEN_SQL", u"OPEN_SQL"), path);
    EXPECT_EQ(Stored(u"SAVE_SQL", u"SAVE_SQL"), QStringLiteral("<missing>"));
    EXPECT_EQ(doubles.files.openInitial, std::vector<QString>{QString()});
}

TEST_F(FileCommandTest, OpenReplacesOnlyTheActiveDocument) {
    window->LoadNewDoc();
    window->LoadNewDoc();
    window->Documents()[0]->txtQry()->setText(QStringLiteral("first"));
    Active().txtQry()->setText(QStringLiteral("second"));
    const QString path = Write(QStringLiteral("r.sql"), QByteArray("replaced\r\n"));
    OpenFile(path);
    EXPECT_EQ(window->Documents()[0]->txtQry()->Text(), QStringLiteral("first"));
    EXPECT_EQ(window->Documents()[0]->Caption(), QStringLiteral("無題1"));
    EXPECT_EQ(Active().txtQry()->Text(), QStringLiteral("replaced\r\n"));
    OpenFile(path);
    EXPECT_EQ(doubles.files.openInitial.back(), path) << "starts at the file opened last";
}

TEST_F(FileCommandTest, CancelChangesNothing) {
    window->LoadNewDoc();
    Active().txtQry()->setText(QStringLiteral("keep"));
    doubles.files.answer.reset();
    window->RunMenuItem(QStringLiteral("mnuFileOpen"));
    window->RunMenuItem(QStringLiteral("mnuFileSave"));
    EXPECT_EQ(Active().txtQry()->Text(), QStringLiteral("keep"));
    EXPECT_EQ(Active().Caption(), QStringLiteral("無題1"));
    EXPECT_TRUE(doubles.messages.shown.empty());
    EXPECT_EQ(Stored(u"OPEN_SQL", u"OPEN_SQL"), QStringLiteral("<missing>"));
}

TEST_F(FileCommandTest, UnreadableFileLeavesTheDocumentUntouched) {
    window->LoadNewDoc();
    Active().txtQry()->setText(QStringLiteral("my work"));
    OpenFile(files.path()); // a directory cannot be read as a file
    EXPECT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(Active().txtQry()->Text(), QStringLiteral("my work"));
    EXPECT_EQ(Active().Caption(), QStringLiteral("無題1"));
    // A name that does not exist (accepted after the create prompt) reads as empty.
    const QString fresh = files.filePath(QStringLiteral("new.sql"));
    OpenFile(fresh);
    EXPECT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(Active().Caption(), fresh);
    EXPECT_EQ(Active().txtQry()->Text(), QString());
}

TEST_F(FileCommandTest, SaveWritesTheTextAndRenamesTheDocument) {
    window->LoadNewDoc();
    Active().txtQry()->setText(QStringLiteral("select '日本語'\r\n"));
    const QString path = files.filePath(QStringLiteral("s.sql"));
    Store(u"SAVE_SQL", u"SAVE_SQL", QStringLiteral("/somewhere/last.sql"));
    SaveFile(path);
    EXPECT_EQ(doubles.files.saveInitial.back(), QStringLiteral("/somewhere/last.sql"));
    EXPECT_EQ(Bytes(path), QByteArray("select '\x93\xfa\x96\x7b\x8c\xea'\r\n"))
        << "a new document is saved in code page 932";
    EXPECT_EQ(Active().Caption(), path);
    EXPECT_EQ(Stored(u"SAVE_SQL", u"SAVE_SQL"), path);
    SaveFile(path);
    EXPECT_EQ(doubles.files.saveInitial.back(), path) << "a saved document starts at its path";
}

TEST_F(FileCommandTest, OpenedFilesSaveBackInTheirOwnEncodingAndLineEnds) {
    const QByteArray utf8 = QStringLiteral("select 'é'\nfrom t\n").toUtf8();
    const QString path = Write(QStringLiteral("u.sql"), utf8);
    OpenFile(path);
    SaveFile(path);
    EXPECT_EQ(Bytes(path), utf8);
}

TEST_F(FileCommandTest, EmptyDocumentSavesAnEmptyFile) {
    window->LoadNewDoc();
    const QString path = Write(QStringLiteral("e.sql"), QByteArray("old content\r\n"));
    SaveFile(path);
    EXPECT_EQ(Bytes(path), QByteArray());
    EXPECT_EQ(Active().Caption(), path);
}

TEST_F(FileCommandTest, FailedSaveKeepsTheOldFileAndTheCaption) {
    window->LoadNewDoc();
    Active().txtQry()->setText(QStringLiteral("new text"));
    SaveFile(files.filePath(QStringLiteral("missing/dir/x.sql")));
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(doubles.messages.shown[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(Active().Caption(), QStringLiteral("無題1"));
    EXPECT_EQ(Stored(u"SAVE_SQL", u"SAVE_SQL"), QStringLiteral("<missing>"));
    // A read-only directory, also when the tests run as root.
    const QString path = Write(QStringLiteral("ro.sql"), QByteArray("old\r\n"));
    QFile::setPermissions(files.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    {
        const test::WithoutRootAccess asUser;
        ASSERT_TRUE(asUser.active());
        SaveFile(path);
    }
    QFile::setPermissions(files.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(doubles.messages.shown.size(), 2u);
    EXPECT_EQ(doubles.messages.shown[1].title, QStringLiteral("エラー"));
    EXPECT_EQ(Bytes(path), QByteArray("old\r\n"));
    EXPECT_EQ(Active().Caption(), QStringLiteral("無題1"));
    EXPECT_EQ(Stored(u"SAVE_SQL", u"SAVE_SQL"), QStringLiteral("<missing>"));
}

TEST_F(FileCommandTest, FontChoiceGoesToTheActiveDocumentAndTheSettings) {
    window->LoadNewDoc();
    window->LoadNewDoc();
    frmSQL* other = window->Documents()[0];
    doubles.fonts.answer = FontChoice{QStringLiteral("IPAGothic"), 10.5, true, false};
    window->RunMenuItem(QStringLiteral("mnuFontFont"));
    ASSERT_EQ(doubles.fonts.shownWith.size(), 1u);
    EXPECT_EQ(doubles.fonts.shownWith[0],
              (FontChoice{QStringLiteral("ＭＳ ゴシック"), 10, false, false}));
    EXPECT_EQ(Active().txtQry()->FontName(), QStringLiteral("IPAGothic"));
    EXPECT_DOUBLE_EQ(Active().txtQry()->FontSize(), 10.5);
    EXPECT_TRUE(Active().txtQry()->FontBold());
    EXPECT_EQ(Active().grdQry()->font().family(), QStringLiteral("IPAGothic"));
    EXPECT_DOUBLE_EQ(Active().grdQry()->font().pointSizeF(), 10.5);
    EXPECT_EQ(other->txtQry()->FontName(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(Stored(u"FONT", u"SIZE"), QStringLiteral("10.5"));
    EXPECT_EQ(Stored(u"FONT", u"NAME"), QStringLiteral("IPAGothic"));
    EXPECT_EQ(Stored(u"FONT", u"BOLD"), QStringLiteral("True"));
    EXPECT_EQ(Stored(u"FONT", u"ITALIC"), QStringLiteral("False"));
    // A new document takes it, its size read back as a whole number.
    window->LoadNewDoc();
    EXPECT_EQ(Active().txtQry()->FontName(), QStringLiteral("IPAGothic"));
    EXPECT_DOUBLE_EQ(Active().txtQry()->FontSize(), 10);
}

TEST_F(FileCommandTest, CancelledFontDialogStillStoresTheActiveFont) {
    window->LoadNewDoc();
    Active().txtQry()->setFontName(QStringLiteral("VL Gothic"));
    doubles.fonts.answer.reset();
    window->RunMenuItem(QStringLiteral("mnuFontFont"));
    EXPECT_EQ(Stored(u"FONT", u"NAME"), QStringLiteral("VL Gothic"));
    EXPECT_EQ(Stored(u"FONT", u"SIZE"), QStringLiteral("10"));
    EXPECT_EQ(Active().txtQry()->FontName(), QStringLiteral("VL Gothic"));
}
