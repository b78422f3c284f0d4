#pragma once

#include <QString>

namespace brindle {

// The shared connection to an ODBC data source.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // 0 while closed, 1 while open.
    int State() const { return m_open ? 1 : 0; }

    QString Provider() const { return m_provider; }
    void setProvider(const QString& provider) { m_provider = provider; }
    // Read back exactly as set.
    QString ConnectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text) { m_connectionString = text; }

    // Commits a pending transaction; fails with an Error when none can be
    // committed (for example while closed).
    void CommitTrans();

    // The DBMS name the driver reports; empty while closed.
    QString DbmsName() const { return m_open ? m_dbmsName : QString(); }

private:
    bool m_open = false;
    QString m_provider;
    QString m_connectionString;
    QString m_dbmsName;
};

} // namespace brindle
