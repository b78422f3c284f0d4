#include "store_test_support.h"

#include "core/error.h"
#include "store/query_history.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace brindle;
using namespace brindle::test;
using store::HistoryEntry;
using store::HistoryOutcome;
using store::HistoryReader;
using store::HistoryRecorder;

TEST(HistoryRoundTrip, EveryFieldAndEveryTextComeBackWhole) {
    TempStore temp;
    // 10 MB of dump with CR LF lines, Japanese and an emoji, NUL characters,
    // and a text whose first lines are blank.
    QString dump;
    while (dump.size() < 10'000'000)
        dump +=
            QStringLiteral("INSERT INTO 社員 VALUES (%1, '名前 %1', 'x');\r\n").arg(dump.size());
    const QString withNul = QStringLiteral("SELECT 'a") + QChar(u'\0') + QStringLiteral("b', ") +
                            QChar(u'\0') + QStringLiteral("\nFROM t") + QChar(u'\0');
    const QString japanese =
        QStringLiteral("\n  \n  SELECT 名前, 部署 FROM 社員 -- 🍣 全角ＡＢＣ  \n"
                       "WHERE 部署 = '営業'");
    HistoryEntry failed = HistoryEntryOf(QStringLiteral("SELECT * FROM 無い表"),
                                         QStringLiteral("本番DB"), HistoryOutcome::Failed);
    failed.error = QStringLiteral("[SQLite]no such table: 無い表\n二行目 \"引用\"");
    failed.login.clear();
    failed.rows = -1;
    HistoryEntry changed = HistoryEntryOf(QStringLiteral("UPDATE t SET a = 1"));
    changed.rows = 42;
    changed.rowsChanged = true;
    changed.caption = QStringLiteral("/tmp/クエリ/月次.sql");
    changed.durationMs = 123'456;
    changed.started = QDateTime(QDate(2026, 11, 30), QTime(23, 59, 58, 987), Qt::UTC);
    HistoryEntry cancelled =
        HistoryEntryOf(QStringLiteral("SELECT pg_sleep(60)"), QStringLiteral("BrindleTestPG"),
                       HistoryOutcome::Cancelled);
    const std::vector<HistoryEntry> recorded = {
        HistoryEntryOf(dump),
        HistoryEntryOf(withNul),
        HistoryEntryOf(japanese),
        failed,
        changed,
        cancelled,
    };
    {
        ProblemLog problems;
        HistoryRecorder recorder(temp.paths(), problems.Callback(), false);
        for (const HistoryEntry& entry : recorded)
            recorder.Record(entry);
        ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
        EXPECT_TRUE(problems.All().empty());
    }

    HistoryReader reader(temp.paths());
    std::vector<HistoryEntry> listed = reader.List({}, -1, 0, true);
    ASSERT_EQ(listed.size(), recorded.size());
    std::reverse(listed.begin(), listed.end());
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        SCOPED_TRACE(i);
        const HistoryEntry& in = recorded[i];
        const HistoryEntry& out = listed[i];
        EXPECT_GT(out.id, i == 0 ? 0 : listed[i - 1].id);
        EXPECT_EQ(out.text.size(), in.text.size());
        EXPECT_TRUE(out.text == in.text);
        EXPECT_EQ(reader.Text(out.id), std::optional<QString>(in.text));
        EXPECT_EQ(out.started, in.started);
        EXPECT_EQ(out.durationMs, in.durationMs);
        EXPECT_EQ(out.dsn, in.dsn);
        EXPECT_EQ(out.login, in.login);
        EXPECT_EQ(out.caption, in.caption);
        EXPECT_EQ(out.rows, in.rows);
        EXPECT_EQ(out.rowsChanged, in.rowsChanged);
        EXPECT_EQ(out.outcome, in.outcome);
        EXPECT_EQ(out.error, in.error);
    }
    EXPECT_EQ(listed[2].firstLine, QStringLiteral("SELECT 名前, 部署 FROM 社員 -- 🍣 全角ＡＢＣ"));
    EXPECT_EQ(listed[1].firstLine,
              QStringLiteral("SELECT 'a") + QChar(u'\0') + QStringLiteral("b', ") + QChar(u'\0'));
    EXPECT_EQ(listed[0].firstLine, QStringLiteral("INSERT INTO 社員 VALUES (0, '名前 0', 'x');"));
    EXPECT_EQ(listed[3].started.timeSpec(), Qt::UTC);

    // Lists leave the texts out unless asked; the first line is always there.
    const std::vector<HistoryEntry> bare = reader.List({}, 2);
    ASSERT_EQ(bare.size(), 2u);
    EXPECT_TRUE(bare[0].text.isEmpty());
    EXPECT_EQ(bare[0].firstLine, QStringLiteral("SELECT pg_sleep(60)"));
    EXPECT_EQ(reader.Text(listed.back().id + 1), std::nullopt);

    EXPECT_EQ(store::OutcomeName(HistoryOutcome::Completed), QStringLiteral("completed"));
    EXPECT_EQ(store::OutcomeName(HistoryOutcome::Failed), QStringLiteral("failed"));
    EXPECT_EQ(store::OutcomeName(HistoryOutcome::Cancelled), QStringLiteral("cancelled"));
    // The store's own words for the outcome and the time, for the sqlite3
    // shell.
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history WHERE outcome = 'cancelled'"
                                        " AND started LIKE '____-__-__T__:__:__.___Z'"),
              1);
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history WHERE rows IS NULL"), 1);
}

TEST(HistoryRoundTrip, SixThousandBatchesHandedOverAtOnceAreWrittenInOrder) {
    TempStore temp;
    {
        HistoryRecorder recorder(temp.paths(), nullptr, true);
        for (int n = 0; n < 6'000; ++n)
            recorder.Record(HistoryEntryOf(QStringLiteral("SELECT %1").arg(n)));
        // The destructor writes what is left.
    }
    const std::vector<QString> texts = HistoryTexts(temp.paths());
    ASSERT_EQ(texts.size(), 6'000u);
    for (int n = 0; n < 6'000; ++n)
        ASSERT_EQ(texts[n], QStringLiteral("SELECT %1").arg(n));
}

TEST(HistoryRoundTrip, TwoProcessesRecordingAtOnceLoseNothingAndDoubleNothing) {
    TempStore temp;
    {
        // Both make the store too, at the same time.
        ChildJournal a(temp.paths(), {"record", "1500", "A"});
        ChildJournal b(temp.paths(), {"record", "1500", "B"});
        HistoryRecorder recorder(temp.paths(), nullptr, true);
        for (int n = 1; n <= 300; ++n) {
            recorder.Record(HistoryEntryOf(QStringLiteral("C %1").arg(n)));
            if (n % 50 == 0) {
                ASSERT_TRUE(recorder.Flush(60'000));
            }
        }
        EXPECT_EQ(a.Wait(), 0);
        EXPECT_EQ(b.Wait(), 0);
    }
    const std::vector<QString> texts = HistoryTexts(temp.paths());
    EXPECT_EQ(texts.size(), 3'300u);
    EXPECT_EQ(std::set<QString>(texts.begin(), texts.end()).size(), texts.size()) << "doubled";
    // Each one's batches in its own order.
    std::map<QString, int> last;
    for (const QString& text : texts) {
        const QStringList parts = text.split(u' ');
        ASSERT_EQ(parts.size(), 2);
        const int n = parts[1].toInt();
        EXPECT_EQ(n, last[parts[0]] + 1) << text.toStdString();
        last[parts[0]] = n;
    }
    EXPECT_EQ(last[QStringLiteral("A")], 1500);
    EXPECT_EQ(last[QStringLiteral("B")], 1500);
    EXPECT_EQ(last[QStringLiteral("C")], 300);
}

TEST(HistoryRoundTrip, AReaderNeedsAStoreAndLeavesAMissingOneMissing) {
    TempStore temp;
    try {
        HistoryReader reader(temp.paths());
        FAIL() << "a reader without a store";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("ローカル ストアを開けません: ")))
            << e.description().toStdString();
    }
    EXPECT_FALSE(QFile::exists(temp.paths().directory));
}
