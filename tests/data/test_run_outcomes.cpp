#include "data/batch_executor.h"
#include "data/odbc_execute.h"
#include "data/odbc_object_errors.h"
#include "data/odbc_result_table.h"
#include "data/odbc_run_control.h"
#include "data/run_results.h"
#include "data/split_batches.h"
#include "test_backends.h"

#include <chrono>
#include <thread>
#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;
using Kind = BatchOutcome::Kind;

// Runs batches on the caller's thread as the window's executor does on its
// worker; the batch numbered `cancelBatch` (from 1) is cancelled from another
// thread while it runs.
class CancellingExecutor final : public BatchExecutor {
public:
    std::shared_ptr<const odbc::ResultTable> Execute(const odbc::Session& session,
                                                     const QString& text, int timeoutSeconds,
                                                     odbc::BatchFacts* facts) override {
        odbc::RunControl control;
        std::thread canceller;
        if (++batch == cancelBatch) {
            canceller = std::thread([&control] {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                control.cancel();
            });
        }
        struct Join {
            std::thread& thread;
            ~Join() {
                if (thread.joinable())
                    thread.join();
            }
        } join{canceller};
        try {
            return odbc::ExecuteBatch(session, text, timeoutSeconds, &control, facts);
        } catch (const Error&) {
            facts->cancelled = control.cancelled();
            throw;
        }
    }
    int batch = 0;
    int cancelBatch = 0;
};

// Every result of a run kept, as the window keeps them for its tabs and
// message list, on each kind of database.
class RunOutcomes : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        command.setKeepAllResults(true);
    }
    void TearDown() override { command.setObserver(nullptr); }

    // Runs the script as F5 does, batch by batch into rs until one fails;
    // returns the failure's description (empty when none).
    QString Run(const QString& script) {
        const QStringList batches = SplitBatches(script);
        const std::vector<BatchPlace> all = SplitBatchPlaces(script);
        std::vector<BatchPlace> sent;
        for (qsizetype i = 0; i < batches.size(); ++i) {
            if (!batches[i].isEmpty())
                sent.push_back(all[static_cast<std::size_t>(i)]);
        }
        results.Clear();
        RunResultsCollector collector(results, sent);
        command.setObserver(&collector);
        QString failure;
        for (const QString& batch : batches) {
            if (rs.State() != 0)
                rs.Close();
            if (batch.isEmpty())
                continue;
            command.setCommandText(batch);
            const Thrown thrown = ErrorOf([&] { rs.Open(command); });
            if (thrown.number != 0) {
                failure = thrown.description;
                break;
            }
        }
        command.setObserver(nullptr);
        return failure;
    }

    const std::vector<BatchOutcome>& OutcomesOf(int batch) const {
        return results.Batches().at(static_cast<std::size_t>(batch - 1)).outcomes;
    }

    RunResults results;
};

TEST_P(RunOutcomes, TheThirdOfFiveFailingKeepsTheFirstTwoAndStops) {
    const QString failure = Run(u"CREATE TEMPORARY TABLE ran (n integer)\nGO\n"
                                u"SELECT 1 AS a\nGO\n"
                                u"SELECT 2 AS b\n\nGO\n"
                                u"\nSELECT *\n  FROM no_such_table_here\nGO\n"
                                u"INSERT INTO ran VALUES (4)\nGO\n"
                                u"INSERT INTO ran VALUES (5)"_s);
    ASSERT_FALSE(failure.isEmpty());
    ASSERT_EQ(results.Batches().size(), 4u) << "the batches after the failure never ran";
    const RunBatch& failed = results.Batches()[3];
    EXPECT_EQ(failed.outcome, BatchReport::Outcome::Failed);
    EXPECT_EQ(failed.error, failure);
    EXPECT_EQ(failed.place.line, 8) << "the line the failing batch begins on";
    EXPECT_TRUE(failed.outcomes.empty());
    ASSERT_EQ(results.Results().size(), 2u);
    EXPECT_EQ(results.Results()[0].table->columnName(0), u"a"_s);
    EXPECT_EQ(results.Results()[1].table->value(0, 0).toLongLong(), 2);
    EXPECT_EQ(results.Batches()[2].place.line, 5);
    EXPECT_EQ(results.RecordSetResult(), -1);
    EXPECT_EQ(rs.State(), 0);
    const std::vector<RunMessage> messages = results.Messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[3].kind, RunMessage::Kind::Error);
    EXPECT_EQ(messages[3].line, 8);
    EXPECT_TRUE(messages[4].text.startsWith(u"4 バッチ · 2 行"_s))
        << messages[4].text.toStdString();

    EXPECT_EQ(Run(u"SELECT count(*) AS c FROM ran"_s), QString());
    EXPECT_EQ(rs.Value(0).toLongLong(), 0) << "batches 4 and 5 were not run";
}

TEST_P(RunOutcomes, EmptyResultsNoResultsAndRowCounts) {
    const QString failure = Run(u"CREATE TEMPORARY TABLE e (n integer)\nGO\n"
                                u"INSERT INTO e VALUES (1)\nGO\n"
                                u"UPDATE e SET n = 2 WHERE n > 5\nGO\n"
                                u"SELECT n FROM e WHERE n < 0\nGO\n"
                                u"\n\n"_s);
    ASSERT_EQ(results.Batches().size(), 5u);
    ASSERT_EQ(OutcomesOf(2).size(), 1u);
    EXPECT_EQ(OutcomesOf(2)[0].kind, Kind::Updated);
    EXPECT_EQ(OutcomesOf(2)[0].count, 1);
    ASSERT_EQ(OutcomesOf(3).size(), 1u);
    EXPECT_EQ(OutcomesOf(3)[0].count, 0) << "an UPDATE that touched nothing";
    ASSERT_EQ(OutcomesOf(4).size(), 1u);
    EXPECT_EQ(OutcomesOf(4)[0].kind, Kind::Rows);
    EXPECT_EQ(OutcomesOf(4)[0].table->rowCount(), 0);
    EXPECT_EQ(OutcomesOf(4)[0].table->columnName(0), u"n"_s);
    // Blank lines are sent: PostgreSQL gives nothing back, the SQLite driver
    // the count of the last statement that changed rows (0 here), MariaDB's
    // refuses them.
    const std::vector<RunMessage> messages = results.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2].batch, 5);
    switch (backend().blankBatch) {
    case BlankBatch::Nothing:
        EXPECT_EQ(failure, QString());
        EXPECT_TRUE(OutcomesOf(5).empty());
        EXPECT_EQ(messages[messages.size() - 2].text, u"完了"_s);
        break;
    case BlankBatch::NoRows:
        EXPECT_EQ(failure, QString());
        ASSERT_EQ(OutcomesOf(5).size(), 1u);
        EXPECT_EQ(OutcomesOf(5)[0].count, 0);
        EXPECT_EQ(messages[messages.size() - 2].text, u"0 行を更新しました"_s);
        break;
    case BlankBatch::Fails:
        EXPECT_FALSE(failure.isEmpty());
        EXPECT_EQ(results.Batches()[4].outcome, BatchReport::Outcome::Failed);
        EXPECT_EQ(messages[messages.size() - 2].kind, RunMessage::Kind::Error);
        break;
    }
    if (backend().blankBatch != BlankBatch::Fails) {
        EXPECT_EQ(results.Batches()[4].outcome, BatchReport::Outcome::Completed);
    }
    EXPECT_EQ(results.Batches()[4].place.line, 9);
    for (const RunBatch& batch : results.Batches())
        EXPECT_GE(batch.ms, 0);
}

TEST_P(RunOutcomes, SeveralStatementsInOneBatchGiveTheirOutcomesInOrder) {
    Exec(u"CREATE TEMPORARY TABLE t (n integer)"_s);
    Exec(u"INSERT INTO t VALUES (1)"_s);
    Exec(u"INSERT INTO t VALUES (2)"_s);
    const QString failure = Run(u"select 1 as a; select 'x' as b; update t set n = n + 10"_s);
    ASSERT_EQ(results.Batches().size(), 1u);
    if (!backend().severalStatements) {
        // The SQLite driver takes one statement a batch and says so.
        EXPECT_TRUE(failure.contains(u"one SQL statement"_s)) << failure.toStdString();
        EXPECT_TRUE(OutcomesOf(1).empty());
        EXPECT_EQ(results.Messages()[0].kind, RunMessage::Kind::Error);
        return;
    }
    ASSERT_EQ(failure, QString());
    const std::vector<BatchOutcome>& outcomes = OutcomesOf(1);
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].kind, Kind::Rows);
    EXPECT_EQ(outcomes[0].table->columnName(0), u"a"_s);
    EXPECT_EQ(outcomes[1].kind, Kind::Rows);
    EXPECT_EQ(outcomes[1].table->value(0, 0).toString(), u"x"_s);
    EXPECT_EQ(outcomes[2].kind, Kind::Updated);
    EXPECT_EQ(outcomes[2].count, 2);
    // The result set holds the first result, the very table kept with the run.
    ASSERT_EQ(rs.State(), 1);
    EXPECT_EQ(results.RecordSetResult(), 0);
    EXPECT_EQ(&rs.FieldValues(0), &outcomes[0].table->column(0));

    // A statement failing fails its batch.
    EXPECT_FALSE(Run(u"select 1 as a; select * from no_such_table_here"_s).isEmpty());
    EXPECT_EQ(results.Batches()[0].outcome, BatchReport::Outcome::Failed);

    // Notices are messages, in the driver's words.
    if (backend().kind != BackendKind::PostgreSQL)
        return;
    EXPECT_EQ(Run(u"DO $$ BEGIN RAISE NOTICE 'こんにちは'; END $$"_s), QString());
    ASSERT_EQ(OutcomesOf(1).size(), 1u);
    EXPECT_EQ(OutcomesOf(1)[0].kind, Kind::Message);
    EXPECT_TRUE(OutcomesOf(1)[0].text.contains(u"こんにちは"_s))
        << OutcomesOf(1)[0].text.toStdString();
    EXPECT_EQ(results.Messages()[0].kind, RunMessage::Kind::Info);
}

TEST_P(RunOutcomes, AHundredBatchesOfTenThousandRowsAreAllKept) {
    const QString select = u"SELECT x, "_s + backend().concat(u"'row '"_s, u"x"_s) +
                           u" AS t FROM "_s + backend().series(10000) + u" ORDER BY x"_s;
    QStringList script;
    for (int i = 0; i < 100; ++i)
        script.append(select);
    ASSERT_EQ(Run(script.join(u"\nGO\n"_s)), QString());
    ASSERT_EQ(results.Results().size(), 100u);
    qsizetype rows = 0;
    for (const RunResults::Result& result : results.Results()) {
        rows += result.table->rowCount();
        ASSERT_EQ(result.table->value(9999, 1).toString(), u"row 10000"_s);
    }
    EXPECT_EQ(rows, 1'000'000);
    EXPECT_NE(results.Results()[0].table, results.Results()[1].table);
    EXPECT_EQ(results.RecordSetResult(), 99);
    EXPECT_EQ(&rs.FieldValues(1), &results.Results()[99].table->column(1)) << "shared, not copied";
    EXPECT_TRUE(results.TotalsText().startsWith(u"100 バッチ · 1,000,000 行 · "_s))
        << results.TotalsText().toStdString();
}

TEST_P(RunOutcomes, ACancelledRunKeepsTheEarlierBatchesAndMarksItsBatch) {
    CancellingExecutor executor;
    executor.cancelBatch = 3;
    command.setExecutor(&executor);
    const QString slow = backend().canSleep()
                             ? u"SELECT "_s + backend().sleep(30)
                             : u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                               u"FROM c WHERE x < 20000000) SELECT count(*) FROM c"_s;
    const QString failure =
        Run(u"SELECT 1 AS a\nGO\nSELECT 2 AS b\nGO\n"_s + slow + u"\nGO\nSELECT 4 AS d"_s);
    command.setExecutor(nullptr);
    ASSERT_FALSE(failure.isEmpty());
    ASSERT_EQ(results.Batches().size(), 3u) << "the run ended with the cancelled batch";
    EXPECT_EQ(results.Batches()[2].outcome, BatchReport::Outcome::Cancelled);
    EXPECT_EQ(results.Results().size(), 2u);
    const std::vector<RunMessage> messages = results.Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[2].kind, RunMessage::Kind::Cancelled);
    EXPECT_EQ(messages[2].text, u"キャンセル"_s);
    EXPECT_EQ(messages[2].line, 5);
}

TEST_P(RunOutcomes, AKeptResultIsShownReadOnly) {
    ASSERT_EQ(Run(u"SELECT 1 AS a UNION ALL SELECT 2\nGO\nSELECT 3 AS b"_s), QString());
    const std::shared_ptr<const odbc::ResultTable> kept = results.Results()[0].table;
    Recordset shown;
    int closings = 0;
    shown.setClosedObserver([&] { ++closings; });
    shown.Show(kept);
    ASSERT_EQ(shown.State(), 1);
    EXPECT_EQ(&shown.FieldValues(0), &kept->column(0)) << "shared, not copied";
    EXPECT_EQ(shown.AbsolutePosition(), 1);
    shown.MoveLast();
    EXPECT_EQ(shown.Value(0).toLongLong(), 2);
    shown.MoveNext();
    EXPECT_TRUE(shown.IsEOF());
    shown.MoveFirst();
    QString reason;
    EXPECT_FALSE(shown.Updatable(&reason));
    EXPECT_EQ(reason, u"実行のほかの結果は読み取り専用です。"_s);
    EXPECT_EQ(ErrorOf([&] { shown.SetValue(0, 7); }).number, err::NotUpdatable);
    EXPECT_EQ(ErrorOf([&] { shown.Show(kept); }).number, 3705);
    shown.Close();
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(shown.State(), 0);
    EXPECT_EQ(ErrorOf([&] { shown.Show(nullptr); }).number, err::ObjectClosed);
    EXPECT_EQ(kept->rowCount(), 2) << "closing the view leaves the kept result";

    // An empty result stands at BOF and EOF, as an opened one does.
    ASSERT_EQ(Run(u"SELECT 1 AS a WHERE 1 = 0"_s), QString());
    shown.Show(results.Results()[0].table);
    EXPECT_TRUE(shown.IsBOF() && shown.IsEOF());

    // Opened by a command afterwards, the result set is asked again whether it
    // can be written back (the SQLite driver's catalog does not see temporary
    // tables).
    shown.Close();
    Exec(u"CREATE TEMPORARY TABLE w (k integer PRIMARY KEY, v integer)"_s);
    command.setCommandText(u"SELECT k, v FROM w"_s);
    shown.Open(command);
    EXPECT_EQ(shown.Updatable(&reason), backend().catalogSeesTemporaryTables)
        << reason.toStdString();
    EXPECT_NE(reason, u"実行のほかの結果は読み取り専用です。"_s);
}

TEST_P(RunOutcomes, WithoutKeepingAllOnlyTheFirstResultIsFetched) {
    command.setKeepAllResults(false);
    ASSERT_EQ(Run(u"SELECT 1 AS a"_s), QString());
    ASSERT_EQ(results.Batches().size(), 1u);
    EXPECT_TRUE(OutcomesOf(1).empty());
    EXPECT_EQ(rs.State(), 1);
}

BRINDLE_ALL_BACKENDS(RunOutcomes);

} // namespace
} // namespace brindle::test
