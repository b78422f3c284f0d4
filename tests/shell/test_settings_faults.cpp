#include "data/command.h"
#include "data/frm_connect.h"
#include "shell/bas_main.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "shell/process_state.h"
#include "editor/rich_text_editor.h"
#include "core/settings_store.h"
#include "support/temp_settings.h"
#include "support/test_services.h"
#include "support/without_root_access.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

using namespace brindle;

namespace {

// What a start shows of the settings it read.
struct Started {
    QRect frame;
    int timeout = -1;
    QString dsn, uid;
    QString caption, fontName;
    double fontSize = 0;
    bool bold = true;
    size_t boxes = 0;
};

// Starts the program as its main does, notes what the connect dialog and
// the first document show, and closes it through its own window.
Started StartAndClose() {
    test::TestServices doubles;
    Started seen;
    doubles.modal.script = [&seen](QDialog& dialog) {
        if (auto* connect = qobject_cast<frmConnect*>(&dialog)) {
            seen.dsn = connect->cboDSNList()->currentText();
            seen.uid = connect->txtUID()->text();
        }
        return static_cast<int>(QDialog::Rejected);
    };
    std::unique_ptr<frmMain> window = Main(doubles.services());
    EXPECT_TRUE(window);
    if (!window)
        return seen;
    seen.frame = window->frameGeometry();
    seen.timeout = gcmdDB->CommandTimeout();
    if (frmSQL* doc = window->ActiveForm()) {
        seen.caption = doc->Caption();
        seen.fontName = doc->txtQry()->FontName();
        seen.fontSize = doc->txtQry()->FontSize();
        seen.bold = doc->txtQry()->FontBold();
    }
    window->close();
    window.reset();
    seen.boxes = doubles.messages.shown.size();
    return seen;
}

QByteArray Garbage() {
    std::mt19937 random(4711);
    QByteArray bytes(64 * 1024, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() % 256);
    // Section and key lines among the noise, so the reader gets past the
    // first line and meets values it cannot use.
    bytes.insert(1000, QByteArray("\n[FORM_MAIN]\nTOP=\xff\xfe\n@Variant(\x00\x00\x00\x7f\n", 34));
    bytes.insert(5000, QByteArray("\n[FONT]\nSIZE=\x01\x02\nNAME\n[QUERY]\nTIMEOUT=\"\n", 39));
    return bytes;
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

mode_t Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

class SettingsFaults : public testing::Test {
protected:
    void SetUp() override {
        const test::TempSettings empty;
        defaults = StartAndClose();
        ASSERT_EQ(defaults.boxes, 0u);
    }
    // Each case gets a configuration directory of its own.
    std::optional<test::TempSettings> settings;
    Started defaults;
};

void ExpectDefaults(const Started& seen, const Started& defaults) {
    EXPECT_EQ(seen.boxes, 0u) << "no box at start or close";
    EXPECT_EQ(seen.frame, defaults.frame);
    EXPECT_EQ(seen.timeout, 30);
    EXPECT_EQ(seen.dsn, QString());
    EXPECT_EQ(seen.uid, QString());
    EXPECT_EQ(seen.caption, QStringLiteral("無題1"));
    EXPECT_EQ(seen.fontName, defaults.fontName);
    EXPECT_EQ(seen.fontSize, 10);
    EXPECT_FALSE(seen.bold);
}

} // namespace

TEST_F(SettingsFaults, GarbageStartsWithTheDefaultsAndIsReplacedOnClose) {
    settings.emplace();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(SettingsFilePath()).absolutePath()));
    QFile file(SettingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(Garbage()), Garbage().size());
    file.close();

    ExpectDefaults(StartAndClose(), defaults);
    // What the close stored is read by the next start.
    EXPECT_NE(GetSetting(QStringLiteral("Brindle"), QStringLiteral("FORM_MAIN"),
                         QStringLiteral("STATE"), QStringLiteral("<missing>")),
              QStringLiteral("<missing>"));
    ExpectDefaults(StartAndClose(), defaults);
}

TEST_F(SettingsFaults, AnUnreadableFileStartsWithTheDefaultsAndStaysAsItWas) {
    settings.emplace();
    const QString dir = QFileInfo(SettingsFilePath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(dir));
    // Written as a file, not through the store, which would keep what it
    // wrote in memory and never read the file again.
    const QByteArray before("[CONNECT]\nUID=someone\n\n[FONT]\nSIZE=24\n");
    {
        QFile file(SettingsFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(before), before.size());
    }
    // The user's own directory, whoever runs the test: the program could
    // write there, it only cannot read the file.
    ASSERT_EQ(::chmod(QFile::encodeName(settings->path()).constData(), 0755), 0);
    if (::geteuid() == 0) {
        for (const QString& path : {dir, SettingsFilePath()})
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(SettingsFilePath()).constData(), 0), 0);

    Started seen;
    {
        const test::WithoutRootAccess asUser;
        ASSERT_TRUE(asUser.active());
        ASSERT_FALSE(QFile(SettingsFilePath()).open(QIODevice::ReadOnly));
        seen = StartAndClose();
    }
    ExpectDefaults(seen, defaults);
    EXPECT_EQ(Mode(SettingsFilePath()), 0u);
    ASSERT_EQ(::chmod(QFile::encodeName(SettingsFilePath()).constData(), 0600), 0);
    EXPECT_EQ(Bytes(SettingsFilePath()), before) << "the settings the user cannot read are kept";
}

TEST_F(SettingsFaults, ADirectoryInPlaceOfTheFileStartsWithTheDefaults) {
    settings.emplace();
    ASSERT_TRUE(QDir().mkpath(SettingsFilePath()));
    ExpectDefaults(StartAndClose(), defaults);
    EXPECT_TRUE(QFileInfo(SettingsFilePath()).isDir());
}
