#include "data/odbc_result_table.h"
#include "data/run_results.h"
#include "support/print_qt.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;
using Kind = RunMessage::Kind;

std::shared_ptr<const odbc::ResultTable> Table(qsizetype rows) {
    auto table = std::make_shared<odbc::ResultTable>();
    table->addColumn(u"n"_s, odbc::ColumnKind::Integer);
    for (qsizetype i = 0; i < rows; ++i)
        table->column(0).appendInteger(i);
    return table;
}

BatchOutcome Rows(qsizetype rows) {
    return {BatchOutcome::Kind::Rows, Table(rows), 0, {}};
}
BatchOutcome Updated(qint64 count) {
    return {BatchOutcome::Kind::Updated, nullptr, count, {}};
}
BatchOutcome Message(const QString& text) {
    return {BatchOutcome::Kind::Message, nullptr, 0, text};
}

BatchReport Report(std::vector<BatchOutcome> outcomes, qint64 ms,
                   BatchReport::Outcome outcome = BatchReport::Outcome::Completed,
                   const QString& error = {}) {
    BatchReport report;
    report.outcomes = std::move(outcomes);
    report.durationMs = ms;
    report.outcome = outcome;
    report.error = error;
    return report;
}

struct Line {
    Kind kind;
    int batch;
    int line;
    QString text;
    qint64 ms;
};

void ExpectMessages(const RunResults& results, const std::vector<Line>& expected) {
    const std::vector<RunMessage> messages = results.Messages();
    ASSERT_EQ(messages.size(), expected.size());
    for (std::size_t i = 0; i < messages.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(messages[i].kind, expected[i].kind);
        EXPECT_EQ(messages[i].batch, expected[i].batch);
        EXPECT_EQ(messages[i].line, expected[i].line);
        EXPECT_EQ(messages[i].text, expected[i].text);
        EXPECT_EQ(messages[i].ms, expected[i].ms);
    }
}

// A run as the window's message list and status panel show it.
TEST(RunResults, MessagesFollowEveryOutcomeOfEveryBatchInOrder) {
    RunResults results;
    RunResultsCollector collector(results, {{0, 10, 1}, {14, 30, 3}, {50, 9, 7}, {62, 4, 9}});
    collector.BatchEnded(Report({Rows(1'000'000), Updated(3000), Rows(0)}, 4000));
    collector.BatchEnded(Report({Message(u"[01000] NOTICE: こんにちは"_s)}, 5));
    collector.BatchEnded(Report({}, 0));
    collector.BatchEnded(Report({Rows(2)}, 205, BatchReport::Outcome::Failed, u"[42P01] no"_s));

    ExpectMessages(results, {
                                {Kind::Result, 1, 1, u"1,000,000 行"_s, 4000},
                                {Kind::Result, 1, 1, u"3,000 行を更新しました"_s, 4000},
                                {Kind::Result, 1, 1, u"0 行"_s, 4000},
                                {Kind::Info, 2, 3, u"[01000] NOTICE: こんにちは"_s, 5},
                                {Kind::Result, 2, 3, u"完了"_s, 5},
                                {Kind::Result, 3, 7, u"完了"_s, 0},
                                {Kind::Result, 4, 9, u"2 行"_s, 205},
                                {Kind::Error, 4, 9, u"[42P01] no"_s, 205},
                                {Kind::Totals, 0, 0,
                                 u"4 バッチ · 1,000,002 行 · 3,000 行を更新 · 4.21 秒"_s, -1},
                            });
    ASSERT_EQ(results.Results().size(), 3u) << "every result with columns, one tab each";
    EXPECT_EQ(results.Results()[0].batch, 1);
    EXPECT_EQ(results.Results()[0].table->rowCount(), 1'000'000);
    EXPECT_EQ(results.Results()[2].batch, 4);
    EXPECT_EQ(results.RecordSetResult(), -1) << "the last batch failed: nothing in the result set";

    results.Clear();
    EXPECT_TRUE(results.Messages().empty());
    EXPECT_EQ(results.TotalsText(), QString());
    EXPECT_EQ(results.RecordSetResult(), -1);
}

TEST(RunResults, TheRecordSetHoldsTheLastBatchsFirstResult) {
    RunResults results;
    RunResultsCollector collector(results, {{0, 1, 1}, {2, 1, 2}});
    collector.BatchEnded(Report({Rows(1), Rows(2)}, 1));
    EXPECT_EQ(results.RecordSetResult(), 0);
    collector.BatchEnded(Report({Updated(1), Rows(3), Rows(4)}, 1));
    EXPECT_EQ(results.RecordSetResult(), 2);
    EXPECT_EQ(results.Results()[2].table->rowCount(), 3);
    collector.BatchEnded(Report({Updated(1)}, 1));
    EXPECT_EQ(results.RecordSetResult(), -1) << "the last batch returned no rows";

    // A batch beyond the places given keeps its results, on no line.
    ASSERT_EQ(results.Batches().size(), 3u);
    EXPECT_EQ(results.Batches()[2].number, 3);
    EXPECT_EQ(results.Batches()[2].place.line, 0);
    EXPECT_EQ(results.TotalsText(), u"3 バッチ · 10 行 · 2 行を更新 · 0.003 秒"_s);
}

TEST(RunResults, ACancelledBatchKeepsWhatCameBeforeAndReportsTheObserversInTurn) {
    RunResults results;
    RunResults second;
    RunResultsCollector collector(results, {{0, 1, 1}, {2, 1, 5}});
    RunResultsCollector other(second, {});
    BatchObservers observers;
    observers.Add(&collector);
    observers.Add(nullptr);
    observers.Add(&other);
    observers.BatchEnded(Report({Rows(5)}, 10));
    observers.BatchEnded(
        Report({Message(u"notice"_s)}, 20, BatchReport::Outcome::Cancelled, u"cancelled"_s));
    ExpectMessages(results, {
                                {Kind::Result, 1, 1, u"5 行"_s, 10},
                                {Kind::Info, 2, 5, u"notice"_s, 20},
                                {Kind::Cancelled, 2, 5, u"キャンセル"_s, 20},
                                {Kind::Totals, 0, 0, u"2 バッチ · 5 行 · 0.030 秒"_s, -1},
                            });
    EXPECT_EQ(results.RecordSetResult(), -1);
    EXPECT_EQ(second.Batches().size(), 2u) << "every observer hears every batch";
    EXPECT_EQ(second.Results()[0].table, results.Results()[0].table) << "shared, not copied";
}

} // namespace
} // namespace brindle::test
