#pragma once

#include <sql.h>

#include <utility>

namespace brindle::odbc {

// Owns one ODBC handle of one type and frees it exactly once. Move-only: a
// copy would free the handle twice.
template <SQLSMALLINT Type> class Handle {
public:
    Handle() noexcept = default;
    explicit Handle(SQLHANDLE handle) noexcept : m_handle(handle) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    SQLHANDLE get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != SQL_NULL_HANDLE; }

    // Frees the handle. A destructor has no one to report a failed free to,
    // and a handle the driver manager refuses to free is lost either way.
    void reset() noexcept {
        if (m_handle != SQL_NULL_HANDLE)
            SQLFreeHandle(Type, m_handle);
        m_handle = nullptr;
    }

private:
    SQLHANDLE m_handle = nullptr;
};

using EnvironmentHandle = Handle<SQL_HANDLE_ENV>;
using StatementHandle = Handle<SQL_HANDLE_STMT>;

// A connection handle that also remembers whether it is connected, so that it
// disconnects before it is freed (the driver manager refuses to free a
// connected handle).
class ConnectionHandle {
public:
    ConnectionHandle() noexcept = default;
    explicit ConnectionHandle(SQLHANDLE handle) noexcept : m_handle(handle) {}
    ~ConnectionHandle() { reset(); }
    ConnectionHandle(ConnectionHandle&& other) noexcept
        : m_handle(std::move(other.m_handle)),
          m_connected(std::exchange(other.m_connected, false)) {}
    ConnectionHandle& operator=(ConnectionHandle&& other) noexcept;
    ConnectionHandle(const ConnectionHandle&) = delete;
    ConnectionHandle& operator=(const ConnectionHandle&) = delete;

    SQLHANDLE get() const noexcept { return m_handle.get(); }
    bool connected() const noexcept { return m_connected; }
    // Called once SQLDriverConnect succeeded.
    void markConnected() noexcept { m_connected = true; }

    // Disconnects; throws the diagnostics when the driver refuses. The handle
    // counts as disconnected afterwards either way.
    void disconnect();
    // Disconnects quietly (rolling back first if a transaction holds the
    // connection) and frees the handle.
    void reset() noexcept;

private:
    Handle<SQL_HANDLE_DBC> m_handle;
    bool m_connected = false;
};

// An environment set to ODBC 3 behaviour. Throws an Error when either step
// fails; a handle allocated before the failure is freed.
EnvironmentHandle AllocateEnvironment();
// A connection handle, not yet connected, in the environment.
ConnectionHandle AllocateConnection(const EnvironmentHandle& environment);
// A statement handle on the connection.
StatementHandle AllocateStatement(const ConnectionHandle& connection);

} // namespace brindle::odbc
