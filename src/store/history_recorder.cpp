#include "store/history_worker.h"
#include "store/query_history.h"

namespace brindle::store {

class HistoryRecorder::Worker : public HistoryWorker {
public:
    using HistoryWorker::HistoryWorker;
};

HistoryRecorder::HistoryRecorder(StorePaths paths,
                                 std::function<void(const JournalProblem&)> onProblem,
                                 bool repairDamage)
    : m_worker(std::make_unique<Worker>(std::move(paths), std::move(onProblem), repairDamage)) {}

HistoryRecorder::~HistoryRecorder() = default;

void HistoryRecorder::Record(HistoryEntry entry) {
    m_worker->Post(std::move(entry));
}

bool HistoryRecorder::Flush(int timeoutMs) {
    return m_worker->Flush(timeoutMs);
}

} // namespace brindle::store
