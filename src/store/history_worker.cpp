#include "store/history_worker.h"

#include <algorithm>
#include <new>

namespace brindle::store {

namespace {

// What an entry holds in memory, near enough.
qint64 SizeOf(const HistoryEntry& entry) {
    const qsizetype units = entry.text.size() + entry.error.size() + entry.dsn.size() +
                            entry.login.size() + entry.caption.size() + entry.firstLine.size();
    return static_cast<qint64>(units) * 2 + static_cast<qint64>(sizeof(HistoryEntry));
}

QString DroppedText(quint64 dropped) {
    return QStringLiteral("保存を待つクエリ履歴が多すぎるため、古いものから %1 件を破棄しました。")
        .arg(dropped);
}

} // namespace

HistoryWorker::HistoryWorker(StorePaths paths, std::function<void(const JournalProblem&)> onProblem,
                             bool repairDamage)
    : m_writer(std::move(paths), repairDamage), m_trouble(std::move(onProblem)),
      m_repairDamage(repairDamage), m_thread([this] { Run(); }) {}

HistoryWorker::~HistoryWorker() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void HistoryWorker::Post(HistoryEntry entry) {
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_waiting.empty())
            m_firstWaiting = Clock::now();
        m_waitingBytes += SizeOf(entry);
        m_waiting.push_back(std::move(entry));
        DropBeyondLimit();
        // A worker waiting for its next write takes this then; only an idle
        // one is woken, so that a run of short batches costs no system call
        // each.
        wake = std::exchange(m_idle, false);
    }
    if (wake)
        m_wake.notify_one();
}

bool HistoryWorker::Flush(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    m_urgent = true;
    const quint64 ticket = ++m_ticketsIssued;
    m_wake.notify_one();
    return m_done.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                           [&] { return m_ticketsDone >= ticket; });
}

void HistoryWorker::DropBeyondLimit() {
    // The newest stays, however large.
    while (m_waitingBytes > kMaxWaitingBytes && m_waiting.size() > 1) {
        m_waitingBytes -= SizeOf(m_waiting.front());
        m_waiting.pop_front();
        ++m_dropped;
    }
}

void HistoryWorker::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        while (!m_stop && !m_urgent) {
            if (m_waiting.empty()) {
                m_idle = true;
                m_wake.wait(lock, [&] { return m_stop || m_urgent || !m_waiting.empty(); });
                m_idle = false;
                continue;
            }
            const Clock::time_point due =
                m_failing ? m_lastFailure + kRetryDelay : m_firstWaiting + kWriteDelay;
            if (Clock::now() >= due)
                break;
            m_wake.wait_until(lock, due);
        }
        const bool urgent = std::exchange(m_urgent, false);
        const bool stop = m_stop;
        const quint64 tickets = m_ticketsIssued;
        lock.unlock();

        WriteWaiting();

        lock.lock();
        if (urgent || stop) {
            m_ticketsDone = tickets;
            m_done.notify_all();
        }
        if (stop)
            return;
    }
}

void HistoryWorker::WriteWaiting() {
    std::vector<HistoryEntry> entries;
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            qint64 bytes = 0;
            while (!m_waiting.empty() && entries.size() < kMaxPerWrite &&
                   (entries.empty() || bytes + SizeOf(m_waiting.front()) <= kMaxBytesPerWrite)) {
                const qint64 size = SizeOf(m_waiting.front());
                bytes += size;
                m_waitingBytes -= size;
                entries.push_back(std::move(m_waiting.front()));
                m_waiting.pop_front();
            }
            if (entries.empty()) {
                m_failing = false;
                return;
            }
        }
        const bool written = Write(entries);
        quint64 dropped = 0;
        bool tell = false;
        bool drained = false;
        {
            const std::lock_guard lock(m_mutex);
            if (!written) {
                // Back in front, in their order, for the next attempt.
                for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
                    m_waitingBytes += SizeOf(*it);
                    m_waiting.push_front(std::move(*it));
                }
                DropBeyondLimit();
                m_failing = true;
                m_lastFailure = Clock::now();
            }
            dropped = m_dropped;
            tell = dropped > 0 && !std::exchange(m_dropReported, true);
            drained = written && m_waiting.empty();
            if (drained) {
                // The episode is over; the next drop is news again.
                m_failing = false;
                m_dropped = 0;
                m_dropReported = false;
            }
        }
        entries.clear();
        if (tell) {
            const QString text = DroppedText(dropped);
            if (m_trouble.state() == StoreTrouble::State::None)
                m_trouble.Failed(true, Error(err::OutOfMemory, text));
            else
                m_trouble.Report(m_trouble.state() == StoreTrouble::State::Unavailable
                                     ? JournalProblem::Kind::Unavailable
                                     : JournalProblem::Kind::WriteFailed,
                                 text);
        }
        if (!written)
            return;
        // Everything that waited is written: writing works again.
        if (drained)
            m_trouble.Succeeded();
    }
}

bool HistoryWorker::Write(const std::vector<HistoryEntry>& entries) {
    for (int attempt = 0;; ++attempt) {
        try {
            if (m_writer.Replaced()) {
                // Moved aside or deleted by someone else: on into the store
                // now at the path.
                m_writer.Close();
            }
            if (const QString aside = m_writer.Open(); !aside.isEmpty())
                m_trouble.Report(JournalProblem::Kind::MovedAside, aside);
            m_writer.Write(entries);
            return true;
        } catch (const std::bad_alloc&) {
            m_trouble.Failed(m_writer.IsOpen(), OutOfMemoryError());
            return false;
        } catch (const Error& e) {
            Error failure = e;
            if (IsDamage(e.number()) && m_writer.IsOpen()) {
                if (!m_repairDamage || attempt > 0) {
                    // Opened afresh at the next attempt, once someone has
                    // moved it aside.
                    m_writer.Close();
                } else {
                    try {
                        m_trouble.Report(JournalProblem::Kind::MovedAside, m_writer.MoveAside());
                        continue;
                    } catch (const Error& moveFailure) {
                        failure = moveFailure;
                    }
                }
            }
            m_trouble.Failed(m_writer.IsOpen(), failure);
            return false;
        }
    }
}

} // namespace brindle::store
