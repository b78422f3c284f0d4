#include "colour/keyword_file_location.h"
#include "core/settings_store.h"
#include "qt_print.h"
#include "support/temp_config_home.h"
#include "support/without_root_access.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace brindle;
using namespace Qt::StringLiterals;

namespace {

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(ChooseKeywordFile, TheUsersEntryWinsWhateverItIs) {
    const QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString program = temp.filePath(u"libexec"_s);
    const QString user = temp.filePath(u"config/Brindle"_s);
    const QString name = QString::fromUtf16(kColourKeywordFile);
    const QString installed = program + u'/' + name;
    const QString own = user + u'/' + name;

    const struct {
        const char* name;
        std::function<bool()> prepare; // on an empty config/Brindle
        QString userDirectory;
        QString expected;
    } cases[] = {
        {"no copy of the user's", [] { return true; }, user, installed},
        {"no configuration directory at all", [] { return true; }, temp.filePath(u"none/Brindle"_s),
         installed},
        {"the configuration directory is a file",
         [&] { return Write(temp.filePath(u"plain"_s), "x"); }, temp.filePath(u"plain"_s),
         installed},
        {"the other keyword file only",
         [&] { return Write(user + u'/' + QString::fromUtf16(kArrangeKeywordFile), "x"); }, user,
         installed},
        {"a copy of the user's", [&] { return Write(own, "caption\r\nselect,1\r\n"); }, user, own},
        {"an empty copy", [&] { return Write(own, {}); }, user, own},
        {"a link to a file that is gone",
         [&] { return QFile::link(temp.filePath(u"gone.csv"_s), own); }, user, own},
        {"a directory in its place", [&] { return QDir(user).mkdir(name); }, user, own},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(user).removeRecursively());
        ASSERT_TRUE(QDir().mkpath(user));
        ASSERT_TRUE(c.prepare());
        EXPECT_EQ(ChooseKeywordFile(c.userDirectory, program, name), c.expected);
    }
}

TEST(ChooseKeywordFile, AConfigurationDirectoryThatCannotBeSearchedIsNotSkipped) {
    const QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString user = temp.filePath(u"Brindle"_s);
    ASSERT_TRUE(QDir().mkpath(user));
    ASSERT_TRUE(QFile::setPermissions(user, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QString chosen;
    {
        const test::WithoutRootAccess asUser;
        ASSERT_TRUE(asUser.active());
        chosen = ChooseKeywordFile(user, u"/program"_s, kColourKeywordFile);
    }
    QFile::setPermissions(user,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Reading it then reports that it cannot be read.
    EXPECT_EQ(chosen, user + u"/KEYWORD_COLOR.CSV");
}

TEST(KeywordFilePath, FollowsTheConfigurationDirectoryOnEveryCall) {
    const test::TempConfigHome home;
    const QString installed = QFileInfo(QFile::symLinkTarget(u"/proc/self/exe"_s)).absolutePath() +
                              u"/KEYWORD_ARRANGE.CSV";
    EXPECT_EQ(KeywordFilePath(kArrangeKeywordFile), installed);
    EXPECT_EQ(UserConfigDirectory(), home.path() + u"/Brindle");

    const QString own = home.path() + u"/Brindle/KEYWORD_ARRANGE.CSV";
    ASSERT_TRUE(QDir().mkpath(home.path() + u"/Brindle"));
    ASSERT_TRUE(Write(own, "caption\r\n"));
    EXPECT_EQ(KeywordFilePath(kArrangeKeywordFile), own);
    EXPECT_EQ(KeywordFilePath(kColourKeywordFile),
              QFileInfo(installed).absolutePath() + u"/KEYWORD_COLOR.CSV");
    ASSERT_TRUE(QFile::remove(own));
    EXPECT_EQ(KeywordFilePath(kArrangeKeywordFile), installed);
}

TEST(KeywordFilePath, WithoutXdgConfigHomeItIsUnderTheHomeDirectory) {
    const QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray previousHome = qgetenv("HOME");
    const test::TempConfigHome config; // restores XDG_CONFIG_HOME afterwards
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const QString own = home.path() + u"/.config/Brindle/KEYWORD_COLOR.CSV";
    const bool made = QDir().mkpath(home.path() + u"/.config/Brindle") && Write(own, "x");
    const QString chosen = KeywordFilePath(kColourKeywordFile);
    qputenv("HOME", previousHome);
    ASSERT_TRUE(made);
    EXPECT_EQ(chosen, own);
}

TEST(ProgramDirectory, IsTheExecutablesOwnWithOrWithoutAnApplication) {
    const QString withoutApplication = ProgramDirectory();
    int argc = 1;
    char name[] = "brindle_colour_tests";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    EXPECT_EQ(withoutApplication, ProgramDirectory());
    EXPECT_TRUE(QDir(withoutApplication).exists(u"KEYWORD_COLOR.CSV"_s));
}

} // namespace
