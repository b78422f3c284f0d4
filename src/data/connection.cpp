#include "data/connection.h"

#include "data/odbc_object_errors.h"
#include "data/odbc_session.h"

namespace brindle {

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open() {
    if (m_session)
        throw ObjectOpenError();
    m_session = std::make_unique<odbc::Session>(m_connectionString);
    ++m_openCount;
}

void Connection::Close() {
    if (!m_session)
        throw ObjectClosedError();
    // Moved out first so the connection is closed whatever the driver says.
    const std::unique_ptr<odbc::Session> session = std::move(m_session);
    session->disconnect();
}

void Connection::CommitTrans() {
    if (!m_session)
        throw ObjectClosedError();
    m_session->commit();
}

QString Connection::DbmsName() const {
    return m_session ? m_session->dbmsName() : QString();
}

} // namespace brindle
