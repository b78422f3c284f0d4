#include "core/error.h"
#include "core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brindle;

namespace {

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_previous); }

    static QString Get(const QString& section, const QString& key, const QString& def) {
        return GetSetting(QStringLiteral("Brindle"), section, key, def);
    }
    static void Save(const QString& section, const QString& key, const QString& value) {
        SaveSetting(QStringLiteral("Brindle"), section, key, value);
    }

    QTemporaryDir m_dir;
    QByteArray m_previous;
};

} // namespace

TEST_F(SettingsStoreTest, FileLivesUnderTheConfigurationDirectory) {
    EXPECT_EQ(SettingsFilePath(), m_dir.path() + QStringLiteral("/Brindle/Brindle.ini"));
    Save(QStringLiteral("QUERY"), QStringLiteral("TIMEOUT"), QStringLiteral("45"));
    EXPECT_TRUE(QFile::exists(SettingsFilePath()));
}

TEST_F(SettingsStoreTest, MissingKeyGivesTheDefault) {
    EXPECT_EQ(Get(QStringLiteral("FORM_MAIN"), QStringLiteral("HEIGHT"), QStringLiteral("6000")),
              QStringLiteral("6000"));
    Save(QStringLiteral("FORM_MAIN"), QStringLiteral("TOP"), QStringLiteral("15"));
    EXPECT_EQ(Get(QStringLiteral("FORM_MAIN"), QStringLiteral("LEFT"), QStringLiteral("0")),
              QStringLiteral("0"));
    // The same key in another section is another value.
    EXPECT_EQ(Get(QStringLiteral("QUERY"), QStringLiteral("TOP"), QString()), QString());
}

TEST_F(SettingsStoreTest, ValuesRoundTripAsStoredText) {
    const QString values[] = {
        QStringLiteral("ＭＳ ゴシック"),
        QStringLiteral("10.5"),
        QStringLiteral("True"),
        QStringLiteral("a,b;c"),
        QStringLiteral("@start"),
        QStringLiteral(" padded "),
        QStringLiteral("/home/ユーザー/クエリ 1.sql"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("back\\slash"),
        QString(),
    };
    int n = 0;
    for (const QString& value : values) {
        SCOPED_TRACE(value.toStdString());
        const QString key = QStringLiteral("K") + QString::number(++n);
        Save(QStringLiteral("CONNECT"), key, value);
        EXPECT_EQ(Get(QStringLiteral("CONNECT"), key, QStringLiteral("default")), value);
    }
    Save(QStringLiteral("CONNECT"), QStringLiteral("K1"), QStringLiteral("replaced"));
    EXPECT_EQ(Get(QStringLiteral("CONNECT"), QStringLiteral("K1"), QString()),
              QStringLiteral("replaced"));
}

TEST_F(SettingsStoreTest, GarbageFileReadsAsDefaults) {
    QDir().mkpath(m_dir.path() + QStringLiteral("/Brindle"));
    QFile file(SettingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 256));
    file.write(garbage);
    file.close();
    EXPECT_EQ(Get(QStringLiteral("QUERY"), QStringLiteral("TIMEOUT"), QStringLiteral("30")),
              QStringLiteral("30"));
}

TEST_F(SettingsStoreTest, UnwritableStoreIsReportedAsAnError) {
    // A file where the configuration directory should be: nothing can be
    // created below it, whoever runs the test.
    const QString blocker = m_dir.path() + QStringLiteral("/not-a-dir");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_CONFIG_HOME", blocker.toLocal8Bit());
    EXPECT_THROW(Save(QStringLiteral("QUERY"), QStringLiteral("TIMEOUT"), QStringLiteral("1")),
                 Error);
    EXPECT_EQ(Get(QStringLiteral("QUERY"), QStringLiteral("TIMEOUT"), QStringLiteral("30")),
              QStringLiteral("30"));
}
