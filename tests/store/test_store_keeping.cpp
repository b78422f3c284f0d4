#include "store_test_support.h"

#include "store/journal_reader.h"
#include "store/query_journal.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace brindle;
using namespace brindle::test;
using store::QueryJournal;

namespace {

// Texts for the rows made by hand.
constexpr char kTexts[] = "INSERT INTO snapshots(document, text) SELECT id, 'x' FROM kept_documents"
                          " WHERE id NOT IN (SELECT document FROM snapshots)";

// `count` closed documents of session 100, closed `days` days ago and
// `minutes` minutes apart before that, captions "PREFIX N".
std::string ClosedDocuments(const char* prefix, int count, int days) {
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(count) +
           ") INSERT INTO kept_documents(session, state, caption, first_line, length, created,"
           " changed, closed) SELECT 100, 'closed', '" +
           prefix +
           " ' || i, 'x', 1, t, t, t FROM (SELECT i, strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-" +
           std::to_string(days) + " days', '-' || i || ' minutes') AS t FROM n); " + kTexts;
}

qint64 Closed(const store::StorePaths& paths, const char* prefix) {
    const std::string sql = std::string("SELECT count(*) FROM documents WHERE state = 'closed'"
                                        " AND caption LIKE '") +
                            prefix + " %'";
    return QueryNumber(paths, sql.c_str());
}

// Prunes, as every session start does.
void StartASession(const store::StorePaths& paths) {
    QueryJournal journal(paths, nullptr);
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    journal.EndSession();
}

} // namespace

TEST(StoreKeeping, ClosedDocumentsAreKeptThirtyDaysAndAtMost500) {
    TempStore temp;
    StartASession(temp.paths());
    ExecuteSql(temp.paths(),
               "INSERT INTO sessions(id, lock, started, ended) VALUES"
               " (100, 'a.lock', '2000-01-01T00:00:00.000Z', '2000-01-01T00:00:00.000Z'),"
               " (101, 'b.lock', '2000-01-01T00:00:00.000Z', '2000-01-01T00:00:00.000Z'),"
               " (102, 'c.lock', '2000-01-01T00:00:00.000Z', NULL)");
    ExecuteSql(temp.paths(), ClosedDocuments("old", 3, 31).c_str());
    ExecuteSql(temp.paths(), ClosedDocuments("month", 2, 29).c_str());
    ExecuteSql(temp.paths(), ClosedDocuments("recent", 495, 0).c_str());
    // A crashed session's document is never pruned, however old.
    ExecuteSql(temp.paths(),
               "INSERT INTO kept_documents(session, state, caption, first_line, length, created,"
               " changed) VALUES(102, 'open', 'crashed', 'x', 1, '2000-01-01T00:00:00.000Z',"
               " '2000-01-01T00:00:00.000Z')");
    ExecuteSql(temp.paths(), kTexts);

    StartASession(temp.paths());
    EXPECT_EQ(Closed(temp.paths(), "old"), 0) << "older than 30 days";
    EXPECT_EQ(Closed(temp.paths(), "month"), 2);
    EXPECT_EQ(Closed(temp.paths(), "recent"), 495);
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM documents WHERE state = 'open'"), 1);
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM sessions WHERE id = 101"), 0)
        << "an ended session with no documents goes";
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM sessions WHERE id IN (100, 102)"), 2);

    // 507 within 30 days: the newest 500 stay.
    ExecuteSql(temp.paths(), ClosedDocuments("new", 10, 0).c_str());
    ExecuteSql(temp.paths(),
               "UPDATE kept_documents SET closed = strftime('%Y-%m-%dT%H:%M:%fZ', 'now')"
               " WHERE caption LIKE 'new %'");
    StartASession(temp.paths());
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM documents WHERE state = 'closed'"),
              500);
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM snapshots"), 501)
        << "the texts go with their documents";
    EXPECT_EQ(Closed(temp.paths(), "new"), 10);
    EXPECT_EQ(Closed(temp.paths(), "month"), 0) << "the oldest go first";
    EXPECT_EQ(Closed(temp.paths(), "recent"), 490);
    EXPECT_EQ(
        QueryNumber(temp.paths(), "SELECT count(*) FROM documents WHERE caption = 'recent 1'"), 1);
    EXPECT_EQ(
        QueryNumber(temp.paths(), "SELECT count(*) FROM documents WHERE caption = 'recent 495'"),
        0);
    EXPECT_EQ(store::JournalReader(temp.paths()).Closed(1000).size(), 500u);
}

TEST(StoreKeeping, TheStoreIsPrivateWhateverTheUmask) {
    const mode_t previous = ::umask(0);
    TempStore temp;
    {
        QueryJournal journal(temp.paths(), nullptr);
        journal.Open(QStringLiteral("無題1"), QStringLiteral("SELECT 'パスワードは保存しない'"));
        ASSERT_TRUE(journal.Flush(kFlushWaitMs));
        const QString db = temp.paths().Database();
        EXPECT_EQ(ModeOf(temp.paths().directory), 0700u);
        EXPECT_EQ(ModeOf(db), 0600u);
        EXPECT_EQ(ModeOf(db + u"-wal"), 0600u);
        EXPECT_EQ(ModeOf(db + u"-shm"), 0600u);
        EXPECT_EQ(ModeOf(temp.paths().SessionLocks()), 0700u);
        const QStringList locks = QDir(temp.paths().SessionLocks()).entryList(QDir::Files);
        ASSERT_EQ(locks.size(), 1);
        EXPECT_EQ(ModeOf(temp.paths().SessionLocks() + u'/' + locks[0]), 0600u);
        journal.EndSession();
    }
    // A store made open to everyone is narrowed at the next start.
    ::chmod(QFile::encodeName(temp.paths().directory).constData(), 0755);
    ::chmod(QFile::encodeName(temp.paths().Database()).constData(), 0666);
    StartASession(temp.paths());
    EXPECT_EQ(ModeOf(temp.paths().directory), 0700u);
    EXPECT_EQ(ModeOf(temp.paths().Database()), 0600u);
    ::umask(previous);
}
