// What running a batch on the worker thread costs: many one-row batches on
// SQLite through a Recordset, on the caller's thread and through the executor
// the window uses, and with every batch recorded in the query history.

#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/threaded_batch_executor.h"
#include "store/history_batch_observer.h"
#include "store/query_history.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using namespace brindle;

class Bench {
public:
    Bench() {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary directory");
        m_connection.setConnectionString(u"Driver=SQLite3;Database=" +
                                         QDir(m_dir.path()).filePath(QStringLiteral("batches.db")) +
                                         u';');
        m_connection.Open();
        m_command.setActiveConnection(&m_connection);
        m_command.setCommandText(QStringLiteral("SELECT 1 AS a, 'x' AS b"));
    }
    void run(benchmark::State& state, BatchExecutor* executor, BatchObserver* observer = nullptr) {
        m_command.setExecutor(executor);
        m_command.setObserver(observer);
        for (auto _ : state) {
            m_rs.Open(m_command);
            benchmark::DoNotOptimize(m_rs.RecordCount());
            m_rs.Close();
        }
        m_command.setExecutor(nullptr);
        m_command.setObserver(nullptr);
    }

private:
    QTemporaryDir m_dir;
    Connection m_connection;
    Command m_command;
    Recordset m_rs;
};

Bench& TheBench() {
    static Bench bench;
    return bench;
}

void BM_BatchOnCallerThread(benchmark::State& state) {
    TheBench().run(state, nullptr);
}
BENCHMARK(BM_BatchOnCallerThread)->Unit(benchmark::kMicrosecond);

void BM_BatchOnWorkerThread(benchmark::State& state) {
    ThreadedBatchExecutor executor(nullptr);
    TheBench().run(state, &executor);
}
BENCHMARK(BM_BatchOnWorkerThread)->Unit(benchmark::kMicrosecond);

// Times what the observer it wraps costs the thread that ran the batch.
class TimedObserver final : public BatchObserver {
public:
    explicit TimedObserver(BatchObserver& inner) : m_inner(inner) {}
    void BatchEnded(const BatchReport& report) noexcept override {
        QElapsedTimer clock;
        clock.start();
        m_inner.BatchEnded(report);
        m_ns += clock.nsecsElapsed();
    }
    qint64 ns() const { return m_ns; }

private:
    BatchObserver& m_inner;
    qint64 m_ns = 0;
};

// The same with the history recording every batch into a fresh store, as the
// window does; the recorder writes on a thread of its own. "record_us" is
// the recording's own share of each batch on the window's thread.
void BM_BatchOnWorkerThreadRecorded(benchmark::State& state) {
    QTemporaryDir store;
    store::HistoryRecorder recorder(
        store::StorePaths{store.path()}, [](const store::JournalProblem&) {}, true);
    store::HistoryBatchObserver observer(recorder, QStringLiteral("bench"), QString(),
                                         QStringLiteral("無題1"));
    TimedObserver timed(observer);
    ThreadedBatchExecutor executor(nullptr);
    TheBench().run(state, &executor, &timed);
    state.counters["record_us"] = benchmark::Counter(static_cast<double>(timed.ns()) / 1000.0,
                                                     benchmark::Counter::kAvgIterations);
    recorder.Flush(60000); // after the timed loop
}
BENCHMARK(BM_BatchOnWorkerThreadRecorded)->Unit(benchmark::kMicrosecond);

} // namespace
