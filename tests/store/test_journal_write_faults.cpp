#include "scripted_documents.h"
#include "store_test_support.h"
#include "support/file_size_limit.h"

#include "store/query_journal.h"

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::test;
using Kind = store::JournalProblem::Kind;
using store::QueryJournal;

TEST(JournalWriteFaults, AFileSizeLimitWarnsOnceKeepsEveryChangeAndResumes) {
    // The documents: one written whole each time, one written as edits.
    TempStore temp;
    ProblemLog problems;
    QueryJournal journal(temp.paths(), problems.Callback());
    const auto small = journal.Open(QStringLiteral("無題1"), QStringLiteral("select 1\n"));
    const auto large = journal.Open(QStringLiteral("/tmp/dump.sql"), QueryLines(7'000));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    QString smallText = QStringLiteral("select 1\n");
    QString largeText = QueryLines(7'000);
    {
        // As a full disk does: writes past 64 KB fail (EFBIG, SIGXFSZ ignored).
        FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.active());
        const QString paste = QueryLines(20'000);
        journal.Edit(small, smallText.size(), 0, paste);
        smallText += paste;
        ASSERT_TRUE(journal.Flush(kFlushWaitMs));
        ASSERT_EQ(problems.Count(Kind::WriteFailed), 1);
        for (int i = 0; i < 20; ++i) {
            journal.Edit(small, 0, 0, QStringLiteral("x"));
            smallText.prepend(u'x');
            journal.Edit(large, 100 + i, 0, QString(QChar(u'あ' + i)));
            largeText.insert(100 + i, QChar(u'あ' + i));
            ASSERT_TRUE(journal.Flush(kFlushWaitMs));
        }
        EXPECT_EQ(problems.Count(Kind::WriteFailed), 1) << "once, not once per change";
        limit.Lift();
        ASSERT_TRUE(problems.WaitFor(Kind::Resumed));
    }
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("無題1")), smallText);
    EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("/tmp/dump.sql")), largeText);
    const auto seen = problems.All();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].detail.isEmpty());
    EXPECT_EQ(seen[1].kind, Kind::Resumed);

    // And it goes on writing as before.
    journal.Edit(large, 0, 0, QStringLiteral("-- 再開\n"));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("/tmp/dump.sql")), u"-- 再開\n" + largeText);
}
