#include "cli/cli_history_recording.h"

#include "cli/cli_io.h"

namespace brindle::cli {

namespace {

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
    : m_recorder(store::DefaultStorePaths(), Warn, true),
      m_observer(m_recorder, std::move(dsn), std::move(login), QStringLiteral("brindle-cli")) {}

void HistoryRecording::BatchEnded(const BatchReport& report) noexcept {
    m_observer.BatchEnded(report);
}

void HistoryRecording::Flush() {
    if (!m_recorder.Flush())
        ReportError(QStringLiteral("クエリ履歴の保存が終わりません。"));
}

} // namespace brindle::cli
