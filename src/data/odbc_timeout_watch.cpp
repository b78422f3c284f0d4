#include "data/odbc_timeout_watch.h"

#include <sqlext.h>

#include <chrono>

namespace brindle::odbc {

TimeoutWatch::TimeoutWatch(SQLHSTMT statement, int seconds) {
    if (seconds <= 0)
        return;
    m_thread = std::thread([this, statement, seconds] {
        std::unique_lock lock(m_mutex);
        if (m_ended.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_ending; }))
            return;
        // Still under the lock: the watch cannot end, nor the statement be
        // freed, while the driver is told to stop.
        m_expired.store(true, std::memory_order_release);
        SQLCancel(statement);
    });
}

TimeoutWatch::~TimeoutWatch() {
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_ended.notify_one();
    m_thread.join();
}

} // namespace brindle::odbc
