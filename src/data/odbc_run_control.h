#pragma once

#include <QtGlobal>

#include <sql.h>

#include <atomic>
#include <mutex>

namespace brindle::odbc {

// Lets another thread follow and stop a batch that runs on a worker: the
// worker attaches the statement it is running and counts the rows it fetches;
// cancel() asks the driver to stop that statement (SQLCancel, the one call
// ODBC allows on a handle another thread is using) and makes the worker give
// up at its next check.
class RunControl {
public:
    // Any thread. Cancelling twice, or with no statement running, is harmless.
    void cancel();
    bool cancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    // The worker: throws CancelledError once cancel() has been called.
    void throwIfCancelled() const;

    // The worker, around the statement's life. attach throws CancelledError
    // when the run was cancelled before the statement started.
    void attach(SQLHSTMT statement);
    void detach();

    void addRows(qsizetype rows) { m_rows.fetch_add(rows, std::memory_order_relaxed); }
    qsizetype rowsFetched() const { return m_rows.load(std::memory_order_relaxed); }

private:
    std::mutex m_mutex; // guards m_statement against its freeing during SQLCancel
    SQLHSTMT m_statement = nullptr;
    std::atomic<bool> m_cancelled{false};
    std::atomic<qsizetype> m_rows{0};
};

// Attaches a statement for its scope; does nothing without a control.
class AttachedStatement {
public:
    AttachedStatement(RunControl* control, SQLHSTMT statement);
    ~AttachedStatement();
    AttachedStatement(const AttachedStatement&) = delete;
    AttachedStatement& operator=(const AttachedStatement&) = delete;

private:
    RunControl* m_control;
};

} // namespace brindle::odbc
