#include "data/command.h"
#include "data/connection.h"
#include "shell/bas_main.h"
#include "shell/frm_about.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "shell/process_state.h"
#include "core/settings_store.h"
#include "support/temp_settings.h"
#include "support/test_services.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace brindle;

namespace {

class StartupTest : public testing::Test {
protected:
    void TearDown() override {
        if (window)
            window->close();
        window.reset();
    }
    test::TempSettings settings;
    test::TestServices doubles;
    std::unique_ptr<frmMain> window;
};

} // namespace

TEST_F(StartupTest, ConnectionDialogComesAfterTheMainWindowAndBeforeTheFirstDocument) {
    gstrDSN = QStringLiteral("stale");
    gintDocCount = 5;
    gstrSearchWord = QStringLiteral("stale");
    gblnUpperConv = true;
    bool checked = false;
    doubles.modal.script = [&checked](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("データ ソース接続"));
        auto* main = qobject_cast<frmMain*>(glngMainHwnd.data());
        EXPECT_NE(main, nullptr);
        if (main) {
            EXPECT_TRUE(main->isVisible());
            EXPECT_EQ(main->windowTitle(), QStringLiteral("Brindle"));
            EXPECT_TRUE(main->Documents().isEmpty());
            EXPECT_FALSE(main->Menu(QStringLiteral("mnuQry"))->menuAction()->isEnabled());
        }
        EXPECT_EQ(gintDocCount, 0);
        EXPECT_TRUE(gstrDSN.isEmpty());
        EXPECT_TRUE(gstrSearchWord.isEmpty());
        EXPECT_FALSE(gblnUpperConv);
        EXPECT_EQ(gcmdDB->CommandTimeout(), 30);
        EXPECT_EQ(gcnDB->State(), 0);
        checked = true;
        return static_cast<int>(QDialog::Rejected);
    };
    window = Main(doubles.services());
    ASSERT_TRUE(window);
    EXPECT_TRUE(checked);
    EXPECT_EQ(doubles.modal.titles.size(), 1u);
    ASSERT_EQ(window->Documents().size(), 1);
    EXPECT_EQ(window->Documents()[0]->Caption(), QStringLiteral("無題1"));
    EXPECT_EQ(gintDocCount, 1);
    EXPECT_TRUE(window->MenuItem(QStringLiteral("mnuFileSave"))->isEnabled());
    EXPECT_EQ(window->PanelText(QStringLiteral("DSN")), QString());
    EXPECT_FALSE(window->cboTable()->isVisibleTo(window.get()))
        << "no DBMS name while not connected";
    EXPECT_TRUE(doubles.messages.shown.empty());
}

TEST_F(StartupTest, AFailingStepIsShownOnceAndTheWindowStays) {
    SaveSetting(QStringLiteral("Brindle"), QStringLiteral("FONT"), QStringLiteral("SIZE"),
                QStringLiteral("5000"));
    window = Main(doubles.services());
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(doubles.messages.shown[0].title, QStringLiteral("エラー"));
    EXPECT_FALSE(doubles.messages.shown[0].text.isEmpty());
    EXPECT_EQ(gintDocCount, 0);
}

TEST_F(StartupTest, AboutBoxShowsTitleAndVersion) {
    window = Main(doubles.services());
    bool shown = false;
    doubles.modal.script = [&shown](QDialog& dialog) {
        auto* about = qobject_cast<frmAbout*>(&dialog);
        EXPECT_NE(about, nullptr);
        if (about) {
            EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報"));
            EXPECT_EQ(about->lblTitle()->text(), QStringLiteral("Brindle"));
            EXPECT_EQ(about->lblVersion()->text(), QStringLiteral("Version 1.3.0"));
            EXPECT_DOUBLE_EQ(about->lblTitle()->font().pointSizeF(), 15.75);
            EXPECT_FALSE(about->windowFlags() & Qt::WindowMinMaxButtonsHint);
            about->cmdOK()->click();
            EXPECT_EQ(about->result(), static_cast<int>(QDialog::Accepted));
        }
        shown = true;
        return about ? about->result() : 0;
    };
    window->RunMenuItem(QStringLiteral("mnuHelpVersion"));
    EXPECT_TRUE(shown);
}
