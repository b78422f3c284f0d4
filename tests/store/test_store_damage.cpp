#include "scripted_documents.h"
#include "store_test_support.h"
#include "support/without_root_access.h"

#include "core/error.h"
#include "store/journal_reader.h"
#include "store/query_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>
#include <unistd.h>

using namespace brindle;
using namespace brindle::test;
using Kind = store::JournalProblem::Kind;
using store::QueryJournal;

namespace {

// A store of a few pages: closed documents, ended cleanly.
void MakeStore(const store::StorePaths& paths) {
    QueryJournal journal(paths, nullptr);
    for (int i = 0; i < 3; ++i) {
        const auto key = journal.Open(QStringLiteral("無題%1").arg(i), QueryLines(300));
        journal.Close(key);
    }
    journal.EndSession();
}

QByteArray RandomBytes(qsizetype size) {
    std::mt19937 rng(42);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(rng());
    return bytes;
}

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void Overwrite(const QString& path, qsizetype from, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(from));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A document typed into a journal, flushed, and read back.
void ExpectItWorks(QueryJournal& journal, const store::StorePaths& paths) {
    const auto key = journal.Open(QStringLiteral("新規"), QString());
    journal.Edit(key, 0, 0, QStringLiteral("SELECT '新しいストア'"));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(KeptText(paths, QStringLiteral("新規")), QStringLiteral("SELECT '新しいストア'"));
    EXPECT_NE(journal.Session(), 0);
}

} // namespace

TEST(StoreDamage, ADamagedStoreIsMovedAsideOnceAndAFreshOneWorks) {
    const struct {
        const char* name;
        void (*damage)(const QString& db);
    } cases[] = {
        {"random bytes over the whole file",
         [](const QString& db) {
             Overwrite(db, 0, RandomBytes(QFileInfo(db).size()));
         }},
        {"random bytes over every page but the first",
         [](const QString& db) {
             Overwrite(db, 4096, RandomBytes(QFileInfo(db).size() - 4096));
         }},
        {"cut to half its size",
         [](const QString& db) {
             ASSERT_EQ(::truncate(QFile::encodeName(db), QFileInfo(db).size() / 2), 0);
         }},
        {"cut inside its header",
         [](const QString& db) {
             ASSERT_EQ(::truncate(QFile::encodeName(db), 50), 0);
         }},
        {"a directory in its place",
         [](const QString& db) {
             ASSERT_TRUE(QFile::remove(db));
             ASSERT_TRUE(QDir().mkpath(db + u"/inside"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempStore temp;
        const QString db = temp.paths().Database();
        MakeStore(temp.paths());
        ASSERT_FALSE(QFile::exists(db + u"-wal")) << "a clean end leaves the database alone";
        c.damage(db);
        const bool directory = QFileInfo(db).isDir();
        const QByteArray damaged = directory ? QByteArray() : Contents(db);

        try {
            store::JournalReader reader(temp.paths());
            for (const store::KeptDocument& doc : reader.All())
                reader.Text(doc.id);
        } catch (const Error&) {
        }
        if (!directory) {
            ASSERT_EQ(Contents(db), damaged) << "a reader never repairs";
        }

        ProblemLog problems;
        {
            QueryJournal journal(temp.paths(), problems.Callback());
            ExpectItWorks(journal, temp.paths());
        }
        const auto seen = problems.All();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].kind, Kind::MovedAside);
        const QString aside = seen[0].detail;
        EXPECT_TRUE(QRegularExpression(u"^" + QRegularExpression::escape(db) +
                                       uR"(\.damaged-\d{8}-\d{6}$)"_qs)
                        .match(aside)
                        .hasMatch())
            << aside.toStdString();
        if (directory)
            EXPECT_TRUE(QFileInfo(aside + u"/inside").isDir()) << "moved, never deleted";
        else
            EXPECT_EQ(Contents(aside), damaged) << "moved, never deleted";

        // The next start finds the fresh store sound.
        ProblemLog next;
        QueryJournal again(temp.paths(), next.Callback());
        ASSERT_TRUE(again.Flush(kFlushWaitMs));
        EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("新規")),
                  QStringLiteral("SELECT '新しいストア'"));
        EXPECT_TRUE(next.All().empty());
    }
}

TEST(StoreDamage, AStoreDamagedOrDeletedWhileRunningGetsEveryOpenDocumentAgain) {
    for (const bool garbage : {true, false}) {
        SCOPED_TRACE(garbage ? "moved aside, garbage in its place" : "deleted");
        TempStore temp;
        ProblemLog problems;
        QueryJournal journal(temp.paths(), problems.Callback());
        const auto a = journal.Open(QStringLiteral("無題1"), QStringLiteral("SELECT 1"));
        const auto b = journal.Open(QStringLiteral("/tmp/dump.sql"), QueryLines(7'000));
        journal.Edit(b, 0, 0, QStringLiteral("-- 先頭\n"));
        ASSERT_TRUE(journal.Flush(kFlushWaitMs));
        journal.Edit(b, 3, 0, QStringLiteral("また"));
        ASSERT_TRUE(journal.Flush(kFlushWaitMs)); // now with edit rows

        const QString db = temp.paths().Database();
        for (const char* suffix : {"", "-wal", "-shm"}) {
            const QString from = db + QLatin1StringView(suffix);
            if (garbage)
                ASSERT_TRUE(
                    QFile::rename(from, temp.root() + u"/elsewhere" + QLatin1StringView(suffix)));
            else
                QFile::remove(from);
        }
        if (garbage)
            Overwrite(db, 0, RandomBytes(10'000));

        journal.Edit(a, 8, 0, QStringLiteral(" + 1"));
        ASSERT_TRUE(journal.Flush(kFlushWaitMs));
        EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("無題1")), QStringLiteral("SELECT 1 + 1"));
        QString large = QStringLiteral("-- 先頭\n") + QueryLines(7'000);
        large.insert(3, QStringLiteral("また"));
        EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("/tmp/dump.sql")), large);
        EXPECT_EQ(problems.Count(Kind::MovedAside), garbage ? 1 : 0);
        EXPECT_EQ(problems.All().size(), garbage ? 1u : 0u);
        EXPECT_EQ(store::JournalReader(temp.paths()).All()[0].session, journal.Session());
    }
}

TEST(StoreDamage, AStoreThatCannotBeMadeKeepsTextsUntilItCan) {
    // The directory's parent is a file: nothing can be made, as root too.
    TempStore temp;
    const QString blocker = temp.root() + u"/blocker";
    const store::StorePaths paths{blocker + u"/Brindle"};
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ProblemLog problems;
    QueryJournal journal(paths, problems.Callback());
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(journal.Session(), 0);
    const auto key = journal.Open(QStringLiteral("無題1"), QString());
    const QString typed = QStringLiteral("SELECT 'まだ書けない'");
    for (qsizetype i = 0; i < typed.size(); ++i)
        journal.Edit(key, i, 0, typed.mid(i, 1));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    ASSERT_EQ(problems.Count(Kind::Unavailable), 1);
    EXPECT_TRUE(problems.All()[0].detail.contains(blocker))
        << problems.All()[0].detail.toStdString();

    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(problems.WaitFor(Kind::Resumed));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(KeptText(paths, QStringLiteral("無題1")), typed);
    EXPECT_NE(journal.Session(), 0);
    EXPECT_EQ(problems.Count(Kind::Unavailable), 1);
    EXPECT_EQ(problems.All().size(), 2u);
}

TEST(StoreDamage, AReadOnlyDirectoryKeepsTextsUntilItIsWritable) {
    TempStore temp;
    const store::StorePaths& paths = temp.paths();
    MakeReadOnlyStoreDirectory(temp);
    if (::testing::Test::HasFatalFailure())
        return;
    const WithoutRootAccess asUser; // the journal's thread is started with it
    if (!asUser.active())
        GTEST_SKIP() << "cannot act as an ordinary user";

    ProblemLog problems;
    QueryJournal journal(paths, problems.Callback());
    const auto key = journal.Open(QStringLiteral("無題1"), QStringLiteral("SELECT"));
    journal.Edit(key, 6, 0, QStringLiteral(" '読み取り専用'"));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    ASSERT_EQ(problems.Count(Kind::Unavailable), 1);
    journal.Edit(key, 0, 0, QStringLiteral("-- 続き\n"));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(problems.Count(Kind::Unavailable), 1) << "once, not once per change";

    ASSERT_EQ(::chmod(QFile::encodeName(paths.directory).constData(), 0700), 0);
    ASSERT_TRUE(problems.WaitFor(Kind::Resumed));
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(KeptText(paths, QStringLiteral("無題1")),
              QStringLiteral("-- 続き\nSELECT '読み取り専用'"));
    EXPECT_EQ(problems.All().size(), 2u);
}
