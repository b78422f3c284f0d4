#include "cli/cli_history_recording.h"

#include "cli/cli_io.h"

#include <new>

namespace brindle::cli {

namespace {

store::HistoryOutcome OutcomeOf(BatchReport::Outcome outcome) {
    switch (outcome) {
    case BatchReport::Outcome::Failed:
        return store::HistoryOutcome::Failed;
    case BatchReport::Outcome::Cancelled:
        return store::HistoryOutcome::Cancelled;
    case BatchReport::Outcome::Completed:
        break;
    }
    return store::HistoryOutcome::Completed;
}

// On the recorder's thread; one line each.
void Warn(const store::JournalProblem& problem) {
    using Kind = store::JournalProblem::Kind;
    switch (problem.kind) {
    case Kind::MovedAside:
        ReportError(QStringLiteral("クエリ履歴の保存先が壊れていたため、別の名前で退避して新しく"
                                   "作り直しました: ") +
                    problem.detail);
        break;
    case Kind::Unavailable:
    case Kind::WriteFailed:
        ReportError(QStringLiteral("クエリ履歴を保存できません: ") + problem.detail);
        break;
    case Kind::Resumed:
        break;
    }
}

} // namespace

HistoryRecording::HistoryRecording(QString dsn, QString login)
    : m_dsn(std::move(dsn)), m_login(std::move(login)),
      m_recorder(store::DefaultStorePaths(), Warn, true) {}

void HistoryRecording::BatchEnded(const BatchReport& report) noexcept {
    try {
        store::HistoryEntry entry;
        entry.started = report.started;
        entry.durationMs = report.durationMs;
        entry.dsn = m_dsn;
        entry.login = m_login;
        entry.caption = QStringLiteral("brindle-cli");
        entry.rows = report.rows;
        entry.rowsChanged = report.rowsChanged;
        entry.outcome = OutcomeOf(report.outcome);
        entry.error = report.error;
        entry.text = report.text;
        m_recorder.Record(std::move(entry));
    } catch (const std::bad_alloc&) {
        // Not kept; the run goes on.
    }
}

void HistoryRecording::Flush() {
    if (!m_recorder.Flush())
        ReportError(QStringLiteral("クエリ履歴の保存が終わりません。"));
}

} // namespace brindle::cli
