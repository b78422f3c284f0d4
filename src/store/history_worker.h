#pragma once

#include "store/history_writer.h"
#include "store/query_history.h"
#include "store/store_trouble.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace brindle::store {

// The history recorder's thread: takes the entries handed over and writes
// them in order, as many as have come in a transaction, no later than
// kWriteDelay after the first unwritten one (at once for Flush). While the
// store cannot be written they wait in memory, at most kMaxWaitingBytes of
// them (the oldest go first beyond that), and are tried again every
// kRetryDelay.
class HistoryWorker {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kWriteDelay = std::chrono::milliseconds(100);
    static constexpr auto kRetryDelay = std::chrono::seconds(2);
    static constexpr qint64 kMaxWaitingBytes = 64 * 1024 * 1024;
    // One transaction holds at most this many entries, or this much text.
    static constexpr std::size_t kMaxPerWrite = 2'000;
    static constexpr qint64 kMaxBytesPerWrite = 32 * 1024 * 1024;

    HistoryWorker(StorePaths paths, std::function<void(const JournalProblem&)> onProblem,
                  bool repairDamage);
    // Writes what is waiting (one attempt) and stops.
    ~HistoryWorker();
    HistoryWorker(const HistoryWorker&) = delete;
    HistoryWorker& operator=(const HistoryWorker&) = delete;

    // Any thread; returns at once.
    void Post(HistoryEntry entry);
    // Waits until everything posted so far has been written or has failed;
    // false when `timeoutMs` ran out first.
    bool Flush(int timeoutMs);

private:
    void Run();
    // Writes the waiting entries a transaction at a time until none is left
    // or an attempt fails.
    void WriteWaiting();
    // One attempt at `entries`, the store opened (and repaired) as needed.
    bool Write(const std::vector<HistoryEntry>& entries);
    // Beyond kMaxWaitingBytes the oldest entries go. Under m_mutex.
    void DropBeyondLimit();

    // Worker thread only.
    HistoryWriter m_writer;
    StoreTrouble m_trouble;
    bool m_repairDamage;

    // Shared with the calling threads, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<HistoryEntry> m_waiting;
    qint64 m_waitingBytes = 0;
    Clock::time_point m_firstWaiting{};
    Clock::time_point m_lastFailure{};
    bool m_failing = false;
    quint64 m_dropped = 0;       // entries dropped in this episode
    bool m_dropReported = false; // the user heard of it
    bool m_idle = false;
    bool m_urgent = false;
    bool m_stop = false;
    quint64 m_ticketsIssued = 0;
    quint64 m_ticketsDone = 0;

    std::thread m_thread; // last: starts once everything above is ready
};

} // namespace brindle::store
