#pragma once

#include "store/journal_commands.h"
#include "store/journal_shadows.h"
#include "store/journal_store.h"
#include "store/query_journal.h"
#include "store/store_trouble.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace brindle::store {

// The journal's thread: takes the commands the window's thread hands over,
// keeps the shadows, and writes them no later than kWriteDelay after the
// first unwritten change (at once for Close, Flush and EndSession).
class JournalWorker {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kWriteDelay = std::chrono::milliseconds(200);
    static constexpr auto kRetryDelay = std::chrono::seconds(2);

    JournalWorker(StorePaths paths, std::function<void(const JournalProblem&)> onProblem);
    // Writes what is pending (one attempt) and stops.
    ~JournalWorker();
    JournalWorker(const JournalWorker&) = delete;
    JournalWorker& operator=(const JournalWorker&) = delete;

    // Any thread; returns at once. Urgent commands are written without delay.
    void Post(JournalCommand command, bool urgent);
    // Posts an urgent command and waits until it has been written or has
    // failed; false when `timeoutMs` ran out first.
    bool PostAndWait(JournalCommand command, int timeoutMs);

    DocumentKey NewKey() { return m_nextKey.fetch_add(1, std::memory_order_relaxed); }
    qint64 Session() const { return m_session.load(std::memory_order_acquire); }

private:
    void Run();
    void Apply(std::vector<JournalCommand>& batch);
    // One attempt to write everything; reports what the user should hear.
    void WriteNow();
    // Opens the store unless it is open; true when the shadows' rows were
    // of another store and are forgotten. Throws Error.
    bool EnsureStore();
    void Fail(const Error& failure);
    std::optional<Clock::time_point> NextDue() const;

    // Worker thread only.
    JournalStore m_store;
    JournalShadows m_shadows;
    StoreTrouble m_trouble;
    std::optional<Clock::time_point> m_firstUnwritten;
    Clock::time_point m_lastAttempt{};

    // Shared with the calling threads, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<JournalCommand> m_queue;
    bool m_idle = false;
    bool m_urgent = false;
    bool m_stop = false;
    quint64 m_ticketsIssued = 0;
    quint64 m_ticketsDone = 0;

    std::atomic<DocumentKey> m_nextKey{1};
    std::atomic<qint64> m_session{0};
    std::thread m_thread; // last: starts once everything above is ready
};

} // namespace brindle::store
