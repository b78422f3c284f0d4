#pragma once

#include <QString>

#include <memory>

namespace brindle {

namespace odbc {
class Session;
}

// The shared connection to an ODBC data source. Autocommit stays on: the
// program never begins a transaction.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // 0 while closed, 1 while open.
    int State() const { return m_session ? 1 : 0; }

    // Connects with ConnectionString through the driver manager, never
    // prompting. Throws an Error with the diagnostics (SQLSTATE and message)
    // when the connect fails, and stays closed; 3705 while already open.
    void Open();
    // Disconnects. Closed afterwards even when the driver reports a failure,
    // which is then thrown; 3704 while already closed.
    void Close();

    // Kept for the connection dialog; the driver manager is the only provider.
    QString Provider() const { return m_provider; }
    void setProvider(const QString& provider) { m_provider = provider; }
    // Read back exactly as set.
    QString ConnectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text) { m_connectionString = text; }

    // Commits what the connection has pending; with nothing pending it does
    // nothing. Fails with an Error (3704) while closed.
    void CommitTrans();

    // The DBMS name the driver reported when the connection opened; empty
    // while closed.
    QString DbmsName() const;

    // How many times the connection has been opened: an object holding work
    // for one session can tell that it is no longer the open one.
    quint64 OpenCount() const { return m_openCount; }

    // The open session for the other data objects; null while closed.
    const odbc::Session* Session() const { return m_session.get(); }

private:
    QString m_provider;
    QString m_connectionString;
    std::unique_ptr<odbc::Session> m_session;
    quint64 m_openCount = 0;
};

} // namespace brindle
