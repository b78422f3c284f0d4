#include "store/journal_worker.h"

#include <algorithm>
#include <new>

namespace brindle::store {

JournalWorker::JournalWorker(StorePaths paths, std::function<void(const JournalProblem&)> onProblem)
    : m_store(std::move(paths)), m_trouble(std::move(onProblem)), m_thread([this] { Run(); }) {}

JournalWorker::~JournalWorker() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void JournalWorker::Post(JournalCommand command, bool urgent) {
    bool wake = urgent;
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(command));
        if (urgent) {
            m_urgent = true;
            ++m_ticketsIssued;
        }
        // A worker waiting for its next write takes this then; only an idle
        // one is woken, so that typing costs no system call per keystroke.
        wake = wake || std::exchange(m_idle, false);
    }
    if (wake)
        m_wake.notify_one();
}

bool JournalWorker::PostAndWait(JournalCommand command, int timeoutMs) {
    std::unique_lock lock(m_mutex);
    m_queue.push_back(std::move(command));
    m_urgent = true;
    const quint64 ticket = ++m_ticketsIssued;
    m_wake.notify_one();
    return m_done.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                           [&] { return m_ticketsDone >= ticket; });
}

void JournalWorker::Run() {
    // Open at once, so that Session() is known before the first change.
    WriteNow();
    std::vector<JournalCommand> batch;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_stop && !m_urgent && m_queue.empty()) {
            if (const std::optional<Clock::time_point> due = NextDue()) {
                m_wake.wait_until(lock, *due, [&] { return m_stop || m_urgent; });
            } else {
                m_idle = true;
                m_wake.wait(lock, [&] { return m_stop || m_urgent || !m_queue.empty(); });
                m_idle = false;
            }
        }
        batch.swap(m_queue);
        const bool urgent = std::exchange(m_urgent, false);
        const bool stop = m_stop;
        const quint64 tickets = m_ticketsIssued;
        lock.unlock();

        Apply(batch);
        batch.clear();
        const std::optional<Clock::time_point> due = NextDue();
        if (urgent || stop || (due && *due <= Clock::now()))
            WriteNow();

        lock.lock();
        if (urgent || stop) {
            m_ticketsDone = tickets;
            m_done.notify_all();
        }
        if (stop && m_queue.empty())
            return;
    }
}

void JournalWorker::Apply(std::vector<JournalCommand>& batch) {
    if (batch.empty())
        return;
    if (!m_firstUnwritten)
        m_firstUnwritten = Clock::now();
    const JournalShadows::TextReader readText = [this](qint64 id) -> std::optional<QString> {
        // A store other than the one the window read the id from: that id
        // means another document here.
        if (EnsureStore())
            return std::nullopt;
        return m_store.ReadText(id);
    };
    for (const JournalCommand& command : batch) {
        try {
            m_shadows.Apply(command, readText);
        } catch (const std::bad_alloc&) {
            // No room for this change's copy; the window's text is untouched.
        }
    }
}

std::optional<JournalWorker::Clock::time_point> JournalWorker::NextDue() const {
    if (m_trouble.state() == StoreTrouble::State::Unavailable)
        return m_lastAttempt + kRetryDelay;
    if (!m_shadows.HasWork())
        return std::nullopt;
    Clock::time_point due = m_firstUnwritten.value_or(Clock::now()) + kWriteDelay;
    if (m_trouble.state() == StoreTrouble::State::WriteFailed)
        due = std::max(due, m_lastAttempt + kRetryDelay);
    return due;
}

bool JournalWorker::EnsureStore() {
    bool forgotten = false;
    if (m_store.Replaced()) {
        // Moved aside or deleted by someone else: a store is made or opened
        // afresh and every open document written to it again.
        m_store.Close();
        m_shadows.ForgetStore();
        forgotten = true;
    }
    const bool another = m_store.Open();
    if (another) {
        m_shadows.ForgetStore();
        forgotten = true;
    }
    if (const QString aside = m_store.TakeMovedAside(); !aside.isEmpty())
        m_trouble.Report(JournalProblem::Kind::MovedAside, aside);
    m_session.store(m_store.Session(), std::memory_order_release);
    return forgotten;
}

void JournalWorker::WriteNow() {
    m_lastAttempt = Clock::now();
    for (int attempt = 0;; ++attempt) {
        try {
            EnsureStore();
            if (m_shadows.HasWork())
                m_store.Write(m_shadows);
            m_firstUnwritten.reset();
            m_trouble.Succeeded();
            return;
        } catch (const std::bad_alloc&) {
            Fail(OutOfMemoryError());
            return;
        } catch (const Error& e) {
            Error failure = e;
            if (IsDamage(e.number()) && attempt == 0 && m_store.IsOpen()) {
                // Damaged under us: aside with it, and everything written
                // again from the shadows into a fresh store.
                try {
                    const QString aside = m_store.MoveAside();
                    m_shadows.ForgetStore();
                    m_trouble.Report(JournalProblem::Kind::MovedAside, aside);
                    continue;
                } catch (const Error& moveFailure) {
                    failure = moveFailure;
                }
            }
            Fail(failure);
            return;
        }
    }
}

void JournalWorker::Fail(const Error& failure) {
    if (!m_store.IsOpen())
        m_session.store(0, std::memory_order_release);
    m_trouble.Failed(m_store.IsOpen(), failure);
}

} // namespace brindle::store
