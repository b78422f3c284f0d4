#pragma once

#include "data/odbc_driver_quirks.h"
#include "data/odbc_handles.h"

#include <QString>

namespace brindle::odbc {

// What the driver allows of SQLGetData, which decides how results are fetched.
struct GetDataSupport {
    bool anyColumn = false; // any column, not only those after the last bound one
    bool anyOrder = false;  // columns in any order
    bool bound = false;     // bound columns too (re-reading a truncated value)
    bool block = false;     // rows of a block cursor, after SQLSetPos
};

// One open connection to a data source: its own environment, the connected
// handle and what was read about the driver at connect time.
class Session {
public:
    // Connects without prompting. Throws an Error with the driver manager's or
    // the driver's diagnostics; nothing stays allocated after a failure.
    explicit Session(const QString& connectionString);

    const ConnectionHandle& connection() const noexcept { return m_connection; }
    const QString& dbmsName() const noexcept { return m_dbmsName; }
    const GetDataSupport& getDataSupport() const noexcept { return m_getData; }
    bool setPosSupported() const noexcept { return m_setPos; }
    // The driver cannot read long values on the rows of a block, but offers
    // static cursors that scroll to any row: a value that did not fit its
    // block buffer is read again by scrolling to its row alone.
    bool rereadByScrolling() const noexcept { return m_rereadByScrolling; }
    const DriverQuirks& quirks() const noexcept { return m_quirks; }
    // Text is fetched in the width the driver handles itself: UTF-16 for a
    // driver with W functions, otherwise UTF-8 (start-up makes that the
    // character set), so the driver manager converts nothing.
    bool wideText() const noexcept { return m_wideText; }

    // Commits whatever the connection has pending.
    void commit();
    // Disconnects, throwing the driver's refusal; the session is unusable after.
    void disconnect();

private:
    // Declared in this order so the connection is freed before its environment.
    EnvironmentHandle m_environment;
    ConnectionHandle m_connection;
    QString m_dbmsName;
    GetDataSupport m_getData;
    bool m_setPos = false;
    bool m_rereadByScrolling = false;
    DriverQuirks m_quirks;
    bool m_wideText = true;
};

} // namespace brindle::odbc
