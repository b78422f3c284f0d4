#pragma once

#include "data/command.h"
#include "data/connection.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "shell/process_state.h"
#include "core/settings_store.h"
#include "support/temp_settings.h"
#include "support/test_services.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <memory>

namespace brindle::test {

// A main window over fresh process-wide state and an empty settings store.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        gcnDB = std::make_unique<Connection>();
        gcmdDB = std::make_unique<Command>();
        gstrDSN.clear();
        gintDocCount = 0;
        gMsg = clsMsg(doubles.messages);
    }
    void TearDown() override {
        if (window) {
            window->close();
            window.reset();
        }
        gcmdDB.reset();
        gcnDB.reset();
    }

    void Store(const char16_t* section, const char16_t* key, const QString& value) {
        SaveSetting(QStringLiteral("Brindle"), QString::fromUtf16(section), QString::fromUtf16(key),
                    value);
    }
    QString Stored(const char16_t* section, const char16_t* key) {
        return GetSetting(QStringLiteral("Brindle"), QString::fromUtf16(section),
                          QString::fromUtf16(key), QStringLiteral("<missing>"));
    }

    frmMain& Open() { return OpenWith(doubles.services()); }
    // The window with the boxes going to a service of the test's own.
    frmMain& OpenWithBoxes(MessageBoxService& boxes) {
        Services services = doubles.services();
        services.messages = &boxes;
        return OpenWith(services);
    }
    frmMain& OpenWith(const Services& services) {
        window = std::make_unique<frmMain>(services);
        window->MDIForm_Load();
        window->show();
        window->MDIForm_Activate();
        return *window;
    }

    TempSettings settings;
    TestServices doubles;
    std::unique_ptr<frmMain> window;
};

} // namespace brindle::test
