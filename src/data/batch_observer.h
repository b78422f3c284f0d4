#pragma once

#include "data/batch_outcome.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace brindle {

// What became of one batch that was sent to the database.
struct BatchReport {
    enum class Outcome { Completed, Failed, Cancelled };

    QString text;          // the batch as sent
    QDateTime started;     // UTC
    qint64 durationMs = 0; // on the thread that ran it, until its results were fetched or it failed
    qint64 rows = -1;      // rows fetched, or changed when `rowsChanged`; -1: not known
    bool rowsChanged = false;
    Outcome outcome = Outcome::Completed;
    QString error; // the description of a failure
    // Everything the batch gave back, in order, when its command keeps all
    // results (Command::KeepAllResults); also what came before a failure.
    std::vector<BatchOutcome> outcomes;
};

// Hears of every batch a command runs, after it ends, on the thread that ran
// it. Must not throw: the run goes on whatever the observer does.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    virtual void BatchEnded(const BatchReport& report) noexcept = 0;
};

} // namespace brindle
