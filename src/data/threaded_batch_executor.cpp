#include "data/threaded_batch_executor.h"

#include "core/error.h"
#include "data/batch_progress_dialog.h"
#include "data/odbc_execute.h"
#include "data/odbc_object_errors.h"
#include "data/odbc_run_control.h"

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <thread>

namespace brindle {

namespace {

constexpr int TickMs = 100;
constexpr int QuickMs = 2;
constexpr int PaintGapMs = 50;

// True when the worker signalled within `ms`.
bool WaitBriefly(int fd, int ms) {
    pollfd ready{fd, POLLIN, 0};
    return poll(&ready, 1, ms) > 0;
}

} // namespace

// The worker's "finished" signal to the window's thread. An eventfd rather
// than a posted Qt event: the kernel orders the worker's writes before the
// wake-up, and nothing is allocated on one thread and freed on the other.
class ThreadedBatchExecutor::WakeUp {
public:
    WakeUp() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        if (m_fd < 0)
            throw OutOfMemoryError();
    }
    ~WakeUp() { close(m_fd); }
    WakeUp(const WakeUp&) = delete;
    WakeUp& operator=(const WakeUp&) = delete;

    int fd() const { return m_fd; }
    void signal() const {
        const std::uint64_t one = 1;
        // Only a full counter fails, and that already wakes the reader.
        [[maybe_unused]] const ssize_t n = write(m_fd, &one, sizeof one);
    }
    void drain() const {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = read(m_fd, &count, sizeof count);
    }

private:
    int m_fd;
};

ThreadedBatchExecutor::ThreadedBatchExecutor(QWidget* dialogParent)
    : m_dialogParent(dialogParent) {}

ThreadedBatchExecutor::~ThreadedBatchExecutor() {
    // The dialog belongs to its parent; without one it is ours.
    if (m_dialog && !m_dialog->parent())
        delete m_dialog.data();
}

void ThreadedBatchExecutor::SetBatch(int number, int count) {
    if (number <= 1)
        startRun();
    m_batch = number;
    m_count = count;
}

void ThreadedBatchExecutor::startRun() {
    hideProgress();
    if (m_dialog)
        m_dialog->Reset();
    m_runClock.start();
    m_rowsBefore = 0;
    m_cancelled = false;
}

void ThreadedBatchExecutor::EndRun() {
    hideProgress();
    m_runClock.invalidate();
    m_batch = m_count = 0;
    m_rowsBefore = 0;
    m_cancelled = false;
}

void ThreadedBatchExecutor::cancel() {
    m_cancelled = true;
    if (m_running)
        m_running->cancel();
    if (m_dialog) {
        // The batch being stopped, not the one of the last update.
        const qsizetype rows = m_rowsBefore + (m_running ? m_running->rowsFetched() : 0);
        m_dialog->Show(m_batch, m_count, rows, m_runClock.elapsed());
        m_dialog->ShowCancelling();
    }
}

void ThreadedBatchExecutor::showProgress(const odbc::RunControl& control) {
    if (!m_dialog) {
        m_dialog = new BatchProgressDialog(m_dialogParent);
        QObject::connect(m_dialog, &BatchProgressDialog::cancelRequested, m_dialog,
                         [this] { cancel(); });
    }
    if (!m_dialogShown) {
        m_dialogShown = true;
        // Busy but answering: the plain hourglass would be over the button too.
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    m_dialog->Show(m_batch, m_count, m_rowsBefore + control.rowsFetched(), m_runClock.elapsed());
    m_sinceProgress.restart();
}

void ThreadedBatchExecutor::hideProgress() {
    if (!m_dialogShown)
        return;
    m_dialogShown = false;
    if (m_dialog)
        m_dialog->hide();
    QApplication::restoreOverrideCursor();
}

// The progress appears once the run has lasted ProgressDelayMs and is then
// brought up to date every TickMs, counted across batches: a run of 3 ms
// batches is as much a run as one long statement.
bool ThreadedBatchExecutor::progressDue() const {
    return m_dialogShown ? m_sinceProgress.elapsed() >= TickMs
                         : m_runClock.elapsed() >= ProgressDelayMs;
}

int ThreadedBatchExecutor::msUntilProgressDue() const {
    const qint64 left =
        m_dialogShown ? TickMs - m_sinceProgress.elapsed() : ProgressDelayMs - m_runClock.elapsed();
    return static_cast<int>(std::clamp<qint64>(left, 0, TickMs));
}

void ThreadedBatchExecutor::waitInEventLoop(const odbc::RunControl& control, const WakeUp& wake,
                                            const std::atomic<bool>& done) {
    QEventLoop loop;
    QSocketNotifier notifier(wake.fd(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        wake.drain();
        loop.quit();
    });
    QTimer tick;
    tick.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done.load(std::memory_order_acquire))
            return;
        if (progressDue()) {
            const bool appearing = !m_dialogShown;
            showProgress(control);
            // From here the modal dialog takes the user's input.
            if (appearing)
                loop.quit();
        }
        tick.start(msUntilProgressDue());
    });

    tick.start(msUntilProgressDue());
    while (!done.load(std::memory_order_acquire)) {
        loop.exec(m_dialogShown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    m_sinceEvents.restart();
}

void ThreadedBatchExecutor::letWindowRun(const odbc::RunControl& control) {
    if (progressDue())
        showProgress(control);
    QCoreApplication::processEvents(m_dialogShown ? QEventLoop::AllEvents
                                                  : QEventLoop::ExcludeUserInputEvents);
    m_sinceEvents.restart();
}

std::shared_ptr<const odbc::ResultTable>
ThreadedBatchExecutor::Execute(const odbc::Session& session, const QString& text,
                               int timeoutSeconds, odbc::BatchFacts* facts) {
    if (m_cancelled) {
        if (facts)
            facts->sent = false;
        // The error box comes without the progress over it.
        hideProgress();
        throw CancelledError();
    }
    if (!m_runClock.isValid())
        startRun();

    odbc::RunControl control;
    const WakeUp wake;
    std::shared_ptr<const odbc::ResultTable> result;
    std::exception_ptr failure;
    std::atomic<bool> done{false};

    m_running = &control;
    std::thread worker([&] {
        try {
            result = odbc::ExecuteBatch(session, text, timeoutSeconds, &control, facts);
        } catch (...) {
            failure = std::current_exception();
        }
        done.store(true, std::memory_order_release);
        wake.signal();
    });
    // A quick batch is waited for without an event loop, which would cost it
    // more than its own run.
    if (!WaitBriefly(wake.fd(), QuickMs))
        waitInEventLoop(control, wake, done);
    worker.join();
    m_running = nullptr;
    m_rowsBefore += control.rowsFetched();
    // Between batches, whatever their length: the window paints and hears
    // キャンセル every PaintGapMs, and the progress is shown when due.
    if (progressDue() || !m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= PaintGapMs)
        letWindowRun(control);

    if (failure) {
        if (facts)
            facts->cancelled = control.cancelled();
        // The error box comes without the progress over it.
        hideProgress();
        std::rethrow_exception(failure);
    }
    // A cancel that came after the statement had finished keeps its result
    // (its changes are made); the run stops before the next batch.
    return result;
}

} // namespace brindle
