#pragma once

#include <sql.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace brindle::odbc {

// Cancels a statement once its time is up, for a driver that keeps no query
// time-out of its own (MariaDB's): a thread of its own waits for the time or
// for the watch to end, whichever comes first, and only then calls
// SQLCancel, the one call ODBC allows on a handle another thread is using.
class TimeoutWatch {
public:
    // seconds <= 0: no watch.
    TimeoutWatch(SQLHSTMT statement, int seconds);
    // Ends the watch; the statement is never cancelled after this.
    ~TimeoutWatch();
    TimeoutWatch(const TimeoutWatch&) = delete;
    TimeoutWatch& operator=(const TimeoutWatch&) = delete;

    // Whether the time ran out and the statement was cancelled.
    bool expired() const { return m_expired.load(std::memory_order_acquire); }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_ending = false; // guarded by m_mutex
    std::atomic<bool> m_expired{false};
    std::thread m_thread;
};

} // namespace brindle::odbc
