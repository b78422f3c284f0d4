#include "data/batch_observer.h"
#include "test_backends.h"

#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

class KeptReports final : public BatchObserver {
public:
    void BatchEnded(const BatchReport& report) noexcept override { reports.push_back(report); }
    std::vector<BatchReport> reports;
};

// What every batch sent through a command tells its observer: the query
// history's record of a run.
class BatchReports : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        command.setObserver(&kept);
    }
    void TearDown() override { command.setObserver(nullptr); }

    const BatchReport& Last() const { return kept.reports.back(); }

    KeptReports kept;
};

TEST_P(BatchReports, RowsFetchedOrChangedTimeAndTextAsSent) {
    if (connectionString.isNull())
        return;
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const QString create = u"CREATE TEMPORARY TABLE h (k integer, s varchar(40))"_s;
    Exec(create);
    ASSERT_EQ(kept.reports.size(), 1u);
    EXPECT_EQ(Last().text, create);
    EXPECT_EQ(Last().outcome, BatchReport::Outcome::Completed);
    EXPECT_TRUE(Last().rowsChanged) << "no result with columns";
    EXPECT_GE(Last().started, before.addMSecs(-1));
    EXPECT_LE(Last().started, QDateTime::currentDateTimeUtc());
    EXPECT_GE(Last().durationMs, 0);

    const QString japanese = JapaneseText(backend());
    Exec(u"INSERT INTO h VALUES (1, '"_s + japanese + u"')"_s);
    EXPECT_EQ(Last().rows, 1);
    Exec(u"INSERT INTO h SELECT k + 1, s FROM h"_s);
    Exec(u"INSERT INTO h SELECT k + 2, s FROM h"_s);
    Exec(u"UPDATE h SET s = 'x' WHERE k > 1"_s);
    EXPECT_TRUE(Last().rowsChanged);
    EXPECT_EQ(Last().rows, 3);
    Exec(u"DELETE FROM h WHERE k > 100"_s);
    EXPECT_EQ(Last().rows, 0) << "a statement that touched nothing changed 0 rows";

    Query(u"SELECT k, s AS 名前 FROM h ORDER BY k"_s);
    EXPECT_EQ(Last().outcome, BatchReport::Outcome::Completed);
    EXPECT_FALSE(Last().rowsChanged);
    EXPECT_EQ(Last().rows, 4);
    Query(u"SELECT k FROM h WHERE k < 0"_s);
    EXPECT_FALSE(Last().rowsChanged);
    EXPECT_EQ(Last().rows, 0);
    EXPECT_EQ(kept.reports.size(), 8u) << "one report a batch";
}

TEST_P(BatchReports, AFailureIsReportedWithTheDriversWordsAndThrownAsBefore) {
    if (connectionString.isNull())
        return;
    command.setCommandText(u"SELECT * FROM no_such_table_here"_s);
    const Thrown thrown = ErrorOf([&] { rs.Open(command); });
    ASSERT_NE(thrown.number, 0);
    ASSERT_EQ(kept.reports.size(), 1u);
    EXPECT_EQ(Last().outcome, BatchReport::Outcome::Failed);
    EXPECT_EQ(Last().error, thrown.description);
    EXPECT_EQ(Last().rows, -1);

    // Checks that fail before anything is sent report nothing.
    command.setCommandText(QString());
    EXPECT_NE(ErrorOf([&] { rs.Open(command); }).number, 0);
    EXPECT_EQ(kept.reports.size(), 1u);
}

TEST_P(BatchReports, WithoutAnObserverNothingChanges) {
    if (connectionString.isNull())
        return;
    command.setObserver(nullptr);
    Query(u"SELECT 1 AS a"_s);
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_TRUE(kept.reports.empty());
}

BRINDLE_ALL_BACKENDS(BatchReports);

} // namespace
} // namespace brindle::test
