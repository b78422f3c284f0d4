#include "store/history_batch_observer.h"

#include "store/text_edit.h"

#include <exception>

namespace brindle::store {

namespace {

HistoryOutcome OutcomeOf(BatchReport::Outcome outcome) {
    switch (outcome) {
    case BatchReport::Outcome::Failed:
        return HistoryOutcome::Failed;
    case BatchReport::Outcome::Cancelled:
        return HistoryOutcome::Cancelled;
    case BatchReport::Outcome::Completed:
        break;
    }
    return HistoryOutcome::Completed;
}

} // namespace

void HistoryBatchObserver::BatchEnded(const BatchReport& report) noexcept {
    try {
        HistoryEntry entry;
        entry.started = report.started;
        entry.durationMs = report.durationMs;
        entry.dsn = m_dsn;
        entry.login = m_login;
        entry.caption = m_caption;
        entry.rows = report.rows;
        entry.rowsChanged = report.rowsChanged;
        entry.outcome = OutcomeOf(report.outcome);
        entry.error = report.error;
        entry.text = report.text;
        entry.firstLine = FirstLine(report.text);
        m_recorder.Record(std::move(entry));
    } catch (const std::exception&) {
        // Out of memory for a copy: the run matters more than its record.
    }
}

} // namespace brindle::store
