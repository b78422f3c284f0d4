#pragma once

#include "data/batch_observer.h"
#include "data/batch_outcome.h"
#include "data/split_batches.h"

#include <QString>

#include <memory>
#include <vector>

namespace brindle {

namespace odbc {
class ResultTable;
}

// What one batch of a run did.
struct RunBatch {
    int number = 1; // from 1
    BatchPlace place;
    BatchReport::Outcome outcome = BatchReport::Outcome::Completed;
    qint64 ms = 0;
    QString error; // the driver's description of a failure
    std::vector<BatchOutcome> outcomes;
};

// One line of the message list.
struct RunMessage {
    enum class Kind { Result, Info, Error, Cancelled, Totals };
    Kind kind = Kind::Result;
    int batch = 0;  // from 1; 0 for the totals
    int line = 0;   // the editor's line; 0 for the totals
    QString text;   // "10 行", "3 行を更新しました", "完了", a notice, a failure
    qint64 ms = -1; // the batch's elapsed time; -1 where none is shown
};

// Every result and message of a document's last run, kept until its next.
class RunResults {
public:
    struct Result {
        int batch = 0; // from 1
        std::shared_ptr<const odbc::ResultTable> table;
    };

    void Clear();
    void Add(RunBatch batch);

    const std::vector<RunBatch>& Batches() const { return m_batches; }
    // Every result with columns of the run, in order: one tab each.
    const std::vector<Result>& Results() const { return m_results; }
    // The result that the document's result set holds (the last batch's first
    // result with columns); -1 when that batch returned none.
    int RecordSetResult() const;

    std::vector<RunMessage> Messages() const;
    // "3 バッチ · 1,000,000 行 · 4.21 秒"; empty before any run.
    QString TotalsText() const;

private:
    std::vector<RunBatch> m_batches;
    std::vector<Result> m_results;
};

// A time as the message list and the totals show it: "4.21 秒", "0.004 秒".
QString SecondsText(qint64 ms);

// Fills a RunResults as the command's batches end (see BatchObserver): the
// places are those of the batches in the order they are sent.
class RunResultsCollector final : public BatchObserver {
public:
    RunResultsCollector(RunResults& results, std::vector<BatchPlace> places);
    void BatchEnded(const BatchReport& report) noexcept override;

private:
    RunResults& m_results;
    std::vector<BatchPlace> m_places;
};

// Passes each report on to every observer in turn (the history and the run's
// results).
class BatchObservers final : public BatchObserver {
public:
    void Add(BatchObserver* observer);
    void BatchEnded(const BatchReport& report) noexcept override;

private:
    std::vector<BatchObserver*> m_observers;
};

} // namespace brindle
