#include "data/odbc_handles.h"

#include "data/odbc_check.h"

#include <QLibrary>

#include <sqlext.h>

namespace brindle::odbc {

ConnectionHandle& ConnectionHandle::operator=(ConnectionHandle&& other) noexcept {
    if (this != &other) {
        reset();
        m_handle = std::move(other.m_handle);
        m_connected = std::exchange(other.m_connected, false);
    }
    return *this;
}

void ConnectionHandle::disconnect() {
    if (!m_connected)
        return;
    m_connected = false;
    Check(SQLDisconnect(m_handle.get()), SQL_HANDLE_DBC, m_handle.get(), "SQLDisconnect");
}

void ConnectionHandle::reset() noexcept {
    if (m_connected) {
        if (!SQL_SUCCEEDED(SQLDisconnect(m_handle.get()))) {
            SQLEndTran(SQL_HANDLE_DBC, m_handle.get(), SQL_ROLLBACK);
            SQLDisconnect(m_handle.get());
        }
        m_connected = false;
    }
    m_handle.reset();
}

namespace {

// Drivers such as SQLite3 load the driver manager's setup library to read a
// data source's settings and unload it after the connect, which strands the
// library's settings cache each time. Kept loaded for the process, the cache
// is made once and stays reachable.
void KeepSetupLibraryLoaded() {
    static const bool loaded = [] {
        QLibrary setup(QStringLiteral("odbcinst"), 2);
        setup.setLoadHints(QLibrary::PreventUnloadHint);
        return setup.load();
    }();
    Q_UNUSED(loaded);
}

} // namespace

EnvironmentHandle AllocateEnvironment() {
    KeepSetupLibraryLoaded();
    SQLHANDLE raw = SQL_NULL_HANDLE;
    Check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &raw), SQL_HANDLE_ENV, raw,
          "SQLAllocHandle(SQL_HANDLE_ENV)");
    EnvironmentHandle environment(raw);
    Check(SQLSetEnvAttr(raw, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, raw, "SQLSetEnvAttr(SQL_ATTR_ODBC_VERSION)");
    return environment;
}

ConnectionHandle AllocateConnection(const EnvironmentHandle& environment) {
    SQLHANDLE raw = SQL_NULL_HANDLE;
    Check(SQLAllocHandle(SQL_HANDLE_DBC, environment.get(), &raw), SQL_HANDLE_ENV,
          environment.get(), "SQLAllocHandle(SQL_HANDLE_DBC)");
    return ConnectionHandle(raw);
}

StatementHandle AllocateStatement(const ConnectionHandle& connection) {
    SQLHANDLE raw = SQL_NULL_HANDLE;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, connection.get(), &raw), SQL_HANDLE_DBC, connection.get(),
          "SQLAllocHandle(SQL_HANDLE_STMT)");
    return StatementHandle(raw);
}

} // namespace brindle::odbc
