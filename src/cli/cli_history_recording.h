#pragma once

#include "data/batch_observer.h"
#include "store/history_batch_observer.h"
#include "store/query_history.h"

namespace brindle::cli {

// Hands every batch that exec and export run to the query history, as
// brindle-cli: the data source and login name given, never the password. A
// history that cannot be written costs one line on stderr, never the run.
class HistoryRecording final : public BatchObserver {
public:
    HistoryRecording(QString dsn, QString login);
    void BatchEnded(const BatchReport& report) noexcept override;
    // Waits (for a while at most) until every batch handed over is written
    // or has failed.
    void Flush();

private:
    store::HistoryRecorder m_recorder;
    store::HistoryBatchObserver m_observer;
};

} // namespace brindle::cli
