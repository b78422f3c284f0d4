#include "store_test_support.h"
#include "support/file_size_limit.h"
#include "support/without_root_access.h"

#include "store/query_history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace brindle;
using namespace brindle::test;
using Kind = store::JournalProblem::Kind;
using store::HistoryRecorder;

namespace {

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

std::vector<QString> Numbered(const QString& prefix, int from, int to) {
    std::vector<QString> texts;
    for (int n = from; n <= to; ++n)
        texts.push_back(prefix + QString::number(n));
    return texts;
}

} // namespace

TEST(HistoryFaults, AFullDiskWarnsOnceKeepsTheEntriesAndWritesThemLater) {
    TempStore temp;
    ProblemLog problems;
    HistoryRecorder recorder(temp.paths(), problems.Callback(), true);
    recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 0")));
    ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    std::vector<QString> expected{QStringLiteral("SELECT 0")};
    {
        // As a full disk does: writes past 256 KB fail (EFBIG, SIGXFSZ
        // ignored).
        FileSizeLimit limit(256 * 1024);
        ASSERT_TRUE(limit.active());
        const QString large = QStringLiteral("SELECT '%1'").arg(QString(1'000'000, u'あ'));
        recorder.Record(HistoryEntryOf(large));
        expected.push_back(large);
        ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
        ASSERT_EQ(problems.Count(Kind::WriteFailed), 1);
        for (const QString& text : Numbered(QStringLiteral("SELECT "), 1, 30)) {
            recorder.Record(HistoryEntryOf(text));
            expected.push_back(text);
            ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
        }
        EXPECT_EQ(problems.Count(Kind::WriteFailed), 1) << "once, not once per batch";
        limit.Lift();
        ASSERT_TRUE(problems.WaitFor(Kind::Resumed));
    }
    ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    EXPECT_EQ(HistoryTexts(temp.paths()), expected);
    const auto seen = problems.All();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].detail.isEmpty());
    EXPECT_EQ(seen[1].kind, Kind::Resumed);
}

TEST(HistoryFaults, AReadOnlyDirectoryWarnsOnceAndTheEntriesWaitUntilItIsWritable) {
    TempStore temp;
    const store::StorePaths& paths = temp.paths();
    MakeReadOnlyStoreDirectory(temp);
    if (::testing::Test::HasFatalFailure())
        return;
    const WithoutRootAccess asUser; // the recorder's thread is started with it
    if (!asUser.active())
        GTEST_SKIP() << "cannot act as an ordinary user";

    ProblemLog problems;
    HistoryRecorder recorder(paths, problems.Callback(), false);
    for (const QString& text : Numbered(QStringLiteral("SELECT "), 1, 10)) {
        recorder.Record(HistoryEntryOf(text));
        ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    }
    EXPECT_EQ(problems.Count(Kind::Unavailable), 1);
    EXPECT_EQ(problems.All().size(), 1u);
    EXPECT_FALSE(QFile::exists(paths.Database()));

    ASSERT_EQ(::chmod(QFile::encodeName(paths.directory).constData(), 0700), 0);
    ASSERT_TRUE(problems.WaitFor(Kind::Resumed));
    ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    EXPECT_EQ(HistoryTexts(paths), Numbered(QStringLiteral("SELECT "), 1, 10));
    EXPECT_EQ(problems.All().size(), 2u);
}

TEST(HistoryFaults, ADamagedStoreIsMovedAsideOnlyWhenTheRecorderMayRepairIt) {
    for (const bool wholeFile : {true, false}) {
        for (const bool repair : {true, false}) {
            SCOPED_TRACE(wholeFile ? "not a database" : "every page but the first");
            SCOPED_TRACE(repair ? "may repair (brindle-cli)" : "may not (the window)");
            TempStore temp;
            const QString db = temp.paths().Database();
            if (wholeFile) {
                ASSERT_TRUE(QDir().mkpath(temp.paths().directory));
                WriteFile(db, QByteArray(20'000, 'x'));
            } else {
                {
                    HistoryRecorder maker(temp.paths(), nullptr, true);
                    for (int n = 0; n < 100; ++n)
                        maker.Record(HistoryEntryOf(QStringLiteral("SELECT %1").arg(n)));
                }
                // Everything in the database file, the log empty.
                ExecuteSql(temp.paths(), "PRAGMA wal_checkpoint(TRUNCATE)");
                QFile file(db);
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                ASSERT_GT(file.size(), 40'000);
                ASSERT_TRUE(file.seek(4096));
                ASSERT_GT(file.write(QByteArray(file.size() - 4096, '\x5a')), 0);
            }
            const QByteArray damaged = Contents(db);

            ProblemLog problems;
            HistoryRecorder recorder(temp.paths(), problems.Callback(), repair);
            recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 1")));
            ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
            const auto seen = problems.All();
            ASSERT_EQ(seen.size(), 1u);
            if (repair) {
                EXPECT_EQ(seen[0].kind, Kind::MovedAside);
                EXPECT_TRUE(QRegularExpression(u"^" + QRegularExpression::escape(db) +
                                               uR"(\.damaged-\d{8}-\d{6}$)"_qs)
                                .match(seen[0].detail)
                                .hasMatch())
                    << seen[0].detail.toStdString();
                EXPECT_EQ(Contents(seen[0].detail), damaged) << "moved, never deleted";
                EXPECT_EQ(HistoryTexts(temp.paths()),
                          std::vector<QString>{QStringLiteral("SELECT 1")});
                continue;
            }
            EXPECT_EQ(seen[0].kind, Kind::Unavailable);
            EXPECT_EQ(Contents(db), damaged) << "left as it was";
            recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 2")));
            ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
            EXPECT_EQ(problems.All().size(), 1u);
            EXPECT_EQ(Contents(db), damaged);

            // The window's journal moves it aside: the entries go into the
            // fresh store.
            for (const char* suffix : {"", "-wal", "-shm"})
                QFile::rename(db + QLatin1StringView(suffix),
                              db + u".aside" + QLatin1StringView(suffix));
            ASSERT_TRUE(problems.WaitFor(Kind::Resumed));
            ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
            EXPECT_EQ(
                HistoryTexts(temp.paths()),
                (std::vector<QString>{QStringLiteral("SELECT 1"), QStringLiteral("SELECT 2")}));
            EXPECT_EQ(problems.All().size(), 2u);
        }
    }
}

TEST(HistoryFaults, AStoreReplacedWhileRecordingGetsTheNextEntries) {
    TempStore temp;
    ProblemLog problems;
    HistoryRecorder recorder(temp.paths(), problems.Callback(), false);
    recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 1")));
    ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    const QString db = temp.paths().Database();
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::rename(db + QLatin1StringView(suffix), db + u".old" + QLatin1StringView(suffix));
    recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 2")));
    ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    EXPECT_EQ(HistoryTexts(temp.paths()), std::vector<QString>{QStringLiteral("SELECT 2")});
    EXPECT_TRUE(problems.All().empty());
}

TEST(HistoryFaults, WaitingEntriesBeyondTheirMemoryGoOldestFirstAndTheUserHearsOfIt) {
    // The directory's parent is a file: nothing can be made, as root too.
    TempStore temp;
    const QString blocker = temp.root() + u"/blocker";
    const store::StorePaths paths{blocker + u"/Brindle"};
    WriteFile(blocker, QByteArray());
    ProblemLog problems;
    HistoryRecorder recorder(paths, problems.Callback(), true);
    // Five batches of 14 MB in memory each (one text shared, as Qt shares
    // it): more than may wait.
    const QString large(7'000'000, u'x');
    for (int n = 1; n <= 5; ++n) {
        recorder.Record(HistoryEntryOf(u"-- " + QString::number(n) + u'\n' + large));
        ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    }
    ASSERT_TRUE(problems.WaitFor(Kind::Unavailable, 2));
    const auto seen = problems.All();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[1].detail.contains(QStringLiteral("破棄"))) << seen[1].detail.toStdString();

    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(problems.WaitFor(Kind::Resumed));
    ASSERT_TRUE(recorder.Flush(120'000));
    QStringList kept;
    for (const QString& text : HistoryTexts(paths))
        kept.push_back(text.section(u'\n', 0, 0));
    EXPECT_EQ(kept.join(u' '), QStringLiteral("-- 2 -- 3 -- 4 -- 5"));
}

TEST(HistoryFaults, EntriesOlderThanNinetyDaysAndBeyondTheNewest100000Go) {
    TempStore temp;
    {
        HistoryRecorder recorder(temp.paths(), nullptr, true);
        recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 'made'")));
    }
    // 100,050 entries of the last days, the oldest first, and five over 90
    // days old that were written last (another machine's clock).
    ExecuteSql(temp.paths(),
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100050)"
               " INSERT INTO history(started, duration_ms, dsn, login, caption, rows,"
               " rows_changed, outcome, error, first_line, text)"
               " SELECT strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-2 days', (i * 1.0) || ' seconds'),"
               " 1, 'd', '', 'c', 0, 0, 'completed', '', 'old ' || i, 'old ' || i FROM n");
    ExecuteSql(temp.paths(),
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5)"
               " INSERT INTO history(started, duration_ms, dsn, login, caption, rows,"
               " rows_changed, outcome, error, first_line, text)"
               " SELECT strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-91 days'), 1, 'd', '', 'c', 0,"
               " 0, 'completed', '', 'ancient', 'ancient' FROM n");
    ASSERT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history"), 100'056);

    HistoryRecorder recorder(temp.paths(), nullptr, true);
    recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 'new'")));
    ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    // Opened: the ancient ones and the oldest beyond 100,000 went first.
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history"), 100'001);
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history WHERE text = 'ancient'"), 0);
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT min(CAST(substr(text, 5) AS INTEGER)) FROM history"
                                        " WHERE text LIKE 'old %'"),
              52);
    // And again after so many more have been written.
    for (int n = 1; n < 1'000; ++n)
        recorder.Record(HistoryEntryOf(QStringLiteral("SELECT %1").arg(n)));
    ASSERT_TRUE(recorder.Flush(kFlushWaitMs));
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history"), 100'000);
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history WHERE text LIKE 'SELECT %'"),
              1'001);
    // The index went with them.
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM history_search"
                                        " WHERE history_search MATCH 'anc'"),
              0);
}
