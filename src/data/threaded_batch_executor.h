#pragma once

#include "data/batch_executor.h"

#include <QElapsedTimer>
#include <QPointer>

#include <atomic>

class QWidget;

namespace brindle {

namespace odbc {
class RunControl;
}
class BatchProgressDialog;

// Runs each batch on a worker thread that owns the statement meanwhile, while
// the window's thread goes on painting. User input waits until the run has
// lasted ProgressDelayMs; from then on the application-modal progress dialog
// takes it, and its キャンセル stops the statement and the run. The result or
// failure is handed back once the worker has finished.
class ThreadedBatchExecutor final : public BatchExecutor {
public:
    static constexpr int ProgressDelayMs = 500;

    explicit ThreadedBatchExecutor(QWidget* dialogParent);
    ~ThreadedBatchExecutor() override;
    ThreadedBatchExecutor(const ThreadedBatchExecutor&) = delete;
    ThreadedBatchExecutor& operator=(const ThreadedBatchExecutor&) = delete;

    // Batch `number` (from 1) of `count` runs next; batch 1 starts a new run.
    void SetBatch(int number, int count);
    // The run is over: the progress goes and a cancel is forgotten.
    void EndRun();

    // A batch is on the worker now (the window's events are being handled
    // meanwhile).
    bool Running() const { return m_running != nullptr; }

    // Once the run has been cancelled, every batch fails with CancelledError
    // without being sent.
    std::shared_ptr<const odbc::ResultTable> Execute(const odbc::Session& session,
                                                     const QString& text, int timeoutSeconds,
                                                     odbc::BatchFacts* facts) override;

private:
    class WakeUp;
    void waitInEventLoop(const odbc::RunControl& control, const WakeUp& wake,
                         const std::atomic<bool>& done);
    void letWindowRun(const odbc::RunControl& control);
    bool progressDue() const;
    int msUntilProgressDue() const;
    void startRun();
    void showProgress(const odbc::RunControl& control);
    void hideProgress();
    void cancel();

    QPointer<QWidget> m_dialogParent;
    QPointer<BatchProgressDialog> m_dialog;
    bool m_dialogShown = false;
    QElapsedTimer m_runClock;
    QElapsedTimer m_sinceEvents;   // since the window last handled its events
    QElapsedTimer m_sinceProgress; // since the progress was last brought up to date
    int m_batch = 0;
    int m_count = 0;
    qsizetype m_rowsBefore = 0; // fetched by the run's earlier batches
    bool m_cancelled = false;
    odbc::RunControl* m_running = nullptr; // the batch now on the worker
};

} // namespace brindle
