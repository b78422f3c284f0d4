#include "data/run_results.h"

#include <QLocale>

#include "data/odbc_result_table.h"

#include <algorithm>
#include <utility>

namespace brindle {

namespace {

// 1000000 as "1,000,000", whatever the system's locale.
QString Grouped(qint64 number) {
    QString digits = QString::number(number < 0 ? -number : number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return number < 0 ? u'-' + digits : digits;
}

bool CountsRowsOrChanges(const BatchOutcome& outcome) {
    return outcome.kind != BatchOutcome::Kind::Message;
}

qsizetype RowsOf(const BatchOutcome& outcome) {
    return outcome.table ? outcome.table->rowCount() : 0;
}

} // namespace

void RunResults::Clear() {
    m_batches.clear();
    m_results.clear();
}

void RunResults::Add(RunBatch batch) {
    for (const BatchOutcome& outcome : batch.outcomes) {
        if (outcome.kind == BatchOutcome::Kind::Rows && outcome.table)
            m_results.push_back({batch.number, outcome.table});
    }
    m_batches.push_back(std::move(batch));
}

int RunResults::RecordSetResult() const {
    if (m_batches.empty() || m_batches.back().outcome != BatchReport::Outcome::Completed)
        return -1;
    // Results() holds the last batch's results at its end.
    const auto isResult = [](const BatchOutcome& outcome) {
        return outcome.kind == BatchOutcome::Kind::Rows && outcome.table;
    };
    const std::vector<BatchOutcome>& last = m_batches.back().outcomes;
    const auto lastResults = std::count_if(last.begin(), last.end(), isResult);
    if (lastResults == 0)
        return -1;
    return static_cast<int>(static_cast<qsizetype>(m_results.size()) - lastResults);
}

std::vector<RunMessage> RunResults::Messages() const {
    std::vector<RunMessage> messages;
    for (const RunBatch& batch : m_batches) {
        const auto add = [&](RunMessage::Kind kind, QString text) {
            messages.push_back({kind, batch.number, batch.place.line, std::move(text), batch.ms});
        };
        bool didSomething = false;
        for (const BatchOutcome& outcome : batch.outcomes) {
            switch (outcome.kind) {
            case BatchOutcome::Kind::Rows:
                add(RunMessage::Kind::Result, Grouped(RowsOf(outcome)) + u" 行");
                break;
            case BatchOutcome::Kind::Updated:
                add(RunMessage::Kind::Result, Grouped(outcome.count) + u" 行を更新しました");
                break;
            case BatchOutcome::Kind::Message:
                add(RunMessage::Kind::Info, outcome.text);
                break;
            }
            didSomething = didSomething || CountsRowsOrChanges(outcome);
        }
        switch (batch.outcome) {
        case BatchReport::Outcome::Completed:
            // Notices alone do not say that the batch is done.
            if (!didSomething)
                add(RunMessage::Kind::Result, QStringLiteral("完了"));
            break;
        case BatchReport::Outcome::Failed:
            add(RunMessage::Kind::Error, batch.error);
            break;
        case BatchReport::Outcome::Cancelled:
            add(RunMessage::Kind::Cancelled, QStringLiteral("キャンセル"));
            break;
        }
    }
    if (!m_batches.empty())
        messages.push_back({RunMessage::Kind::Totals, 0, 0, TotalsText(), -1});
    return messages;
}

QString RunResults::TotalsText() const {
    if (m_batches.empty())
        return {};
    qint64 rows = 0;
    qint64 updated = 0;
    qint64 ms = 0;
    for (const RunBatch& batch : m_batches) {
        ms += batch.ms;
        for (const BatchOutcome& outcome : batch.outcomes) {
            if (outcome.kind == BatchOutcome::Kind::Rows)
                rows += RowsOf(outcome);
            else if (outcome.kind == BatchOutcome::Kind::Updated)
                updated += outcome.count;
        }
    }
    QString text =
        Grouped(static_cast<qint64>(m_batches.size())) + u" バッチ · " + Grouped(rows) + u" 行";
    if (updated > 0)
        text += u" · " + Grouped(updated) + u" 行を更新";
    return text + u" · " + SecondsText(ms);
}

QString SecondsText(qint64 ms) {
    // A quick batch would be "0.00" with two decimals; a long run needs no
    // thousandths.
    return QLocale::c().toString(static_cast<double>(ms) / 1000.0, 'f', ms < 1000 ? 3 : 2) + u" 秒";
}

RunResultsCollector::RunResultsCollector(RunResults& results, std::vector<BatchPlace> places)
    : m_results(results), m_places(std::move(places)) {}

void RunResultsCollector::BatchEnded(const BatchReport& report) noexcept {
    try {
        RunBatch batch;
        batch.number = static_cast<int>(m_results.Batches().size()) + 1;
        const auto index = static_cast<std::size_t>(batch.number - 1);
        // More batches than places (a caller's slip) keep their results
        // without a line.
        batch.place = index < m_places.size() ? m_places[index] : BatchPlace{0, 0, 0};
        batch.outcome = report.outcome;
        batch.ms = report.durationMs;
        batch.error = report.error;
        batch.outcomes = report.outcomes;
        m_results.Add(std::move(batch));
    } catch (...) {
        // Out of memory for the record of a batch: the run goes on without it.
    }
}

void BatchObservers::Add(BatchObserver* observer) {
    if (observer)
        m_observers.push_back(observer);
}

void BatchObservers::BatchEnded(const BatchReport& report) noexcept {
    for (BatchObserver* observer : m_observers)
        observer->BatchEnded(report);
}

} // namespace brindle
