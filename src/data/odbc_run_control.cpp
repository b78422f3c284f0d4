#include "data/odbc_run_control.h"

#include "data/odbc_object_errors.h"

#include <sqlext.h>

namespace brindle::odbc {

void RunControl::cancel() {
    m_cancelled.store(true, std::memory_order_release);
    const std::lock_guard lock(m_mutex);
    // The worker sees the failure the driver reports, or the flag; what
    // SQLCancel itself returns changes nothing.
    if (m_statement)
        SQLCancel(m_statement);
}

void RunControl::throwIfCancelled() const {
    if (cancelled())
        throw CancelledError();
}

void RunControl::attach(SQLHSTMT statement) {
    const std::lock_guard lock(m_mutex);
    // Checked under the lock: a cancel that came just before is not lost.
    throwIfCancelled();
    m_statement = statement;
}

void RunControl::detach() {
    const std::lock_guard lock(m_mutex);
    m_statement = nullptr;
}

AttachedStatement::AttachedStatement(RunControl* control, SQLHSTMT statement) : m_control(control) {
    if (m_control)
        m_control->attach(statement);
}

AttachedStatement::~AttachedStatement() {
    if (m_control)
        m_control->detach();
}

} // namespace brindle::odbc
