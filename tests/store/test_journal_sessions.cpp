#include "scripted_documents.h"
#include "store_test_support.h"

#include "store/journal_reader.h"
#include "store/orphan_claim.h"
#include "store/query_journal.h"
#include "store/session_lock.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::test;
using store::JournalReader;
using store::OrphanClaim;
using store::QueryJournal;

namespace {

QStringList LockFiles(const store::StorePaths& paths) {
    return QDir(paths.SessionLocks()).entryList(QDir::Files);
}

std::map<QString, store::KeptDocument> ByCaption(const std::vector<store::KeptDocument>& docs) {
    std::map<QString, store::KeptDocument> out;
    for (const store::KeptDocument& doc : docs)
        out[doc.caption] = doc;
    return out;
}

// Starts a child that writes the scripted documents; its session id.
qint64 StartChild(ChildJournal& child) {
    const std::string ready = child.ReadLine();
    if (ready.rfind("ready ", 0) != 0) {
        ADD_FAILURE() << "the child said: " << ready;
        return 0;
    }
    return std::stoll(ready.substr(6));
}

} // namespace

TEST(JournalSessions, AKilledInstanceIsOfferedOnceThenDiscardedForGood) {
    TempStore temp;
    QueryJournal own(temp.paths(), nullptr);
    ASSERT_TRUE(own.Flush(kFlushWaitMs));
    ASSERT_NE(own.Session(), 0);

    ChildJournal child(temp.paths(), {"hold"});
    const qint64 childSession = StartChild(child);
    ASSERT_NE(childSession, 0);
    // Running, its lock held: never claimed.
    {
        const OrphanClaim live = OrphanClaim::Take(temp.paths(), own.Session());
        EXPECT_TRUE(live.Sessions().empty());
        EXPECT_TRUE(live.Documents().empty());
    }
    child.Kill();

    ScriptedDocuments expected;
    {
        QueryJournal scratch(store::StorePaths{temp.root() + u"/expected"}, nullptr);
        expected = WriteScriptedDocuments(scratch);
    }
    OrphanClaim claim = OrphanClaim::Take(temp.paths(), own.Session());
    ASSERT_EQ(claim.Sessions(), std::vector<qint64>{childSession});
    auto offered = ByCaption(claim.Documents());
    QStringList captions;
    for (const auto& [caption, doc] : offered)
        captions << caption;
    EXPECT_EQ(captions,
              (QStringList{u"/tmp/dump.sql"_qs, u"/tmp/クエリ/report.sql"_qs, u"無題1"_qs}))
        << "its open documents, not the closed or blank ones";
    JournalReader reader(temp.paths());
    for (const auto& [caption, doc] : offered) {
        SCOPED_TRACE(caption.toStdString());
        EXPECT_TRUE(doc.open);
        EXPECT_EQ(doc.session, childSession);
        EXPECT_EQ(reader.Text(doc.id), expected[caption].text) << "as of its last Flush";
        EXPECT_EQ(doc.length, expected[caption].text.size());
        EXPECT_TRUE(doc.changed.isValid());
    }
    EXPECT_EQ(offered[u"無題1"_qs].firstLine, QStringLiteral("SELECT id, 名前 FROM 社員"));

    // Meanwhile a second claim (as another instance starting) sees nothing.
    {
        const OrphanClaim second = OrphanClaim::Take(temp.paths(), 0);
        EXPECT_TRUE(second.Sessions().empty());
        EXPECT_TRUE(second.Documents().empty());
    }

    // One restored, the others discarded.
    const qint64 restoredId = offered[u"無題1"_qs].id;
    const QueryJournal::Key restored = own.Adopt(restoredId, QStringLiteral("無題1"));
    own.DiscardSessions(claim.Sessions());
    ASSERT_TRUE(own.Flush(kFlushWaitMs));
    claim = OrphanClaim::Take(temp.paths(), own.Session()); // the old claim released
    EXPECT_TRUE(claim.Documents().empty()) << "nothing is offered twice";
    EXPECT_TRUE(OrphanClaim::Take(temp.paths(), 0).Documents().empty());
    EXPECT_EQ(LockFiles(temp.paths()).size(), 1) << "only our own session's lock is left";

    const auto closed = ByCaption(reader.Closed(100));
    EXPECT_EQ(closed.count(u"/tmp/dump.sql"_qs), 1u);
    EXPECT_EQ(closed.count(u"/tmp/クエリ/report.sql"_qs), 1u);
    EXPECT_EQ(closed.count(u"無題3"_qs), 1u);
    EXPECT_EQ(closed.count(u"無題1"_qs), 0u);
    EXPECT_EQ(reader.Text(closed.at(u"/tmp/dump.sql"_qs).id), expected[u"/tmp/dump.sql"_qs].text);
    own.Edit(restored, 0, 0, QStringLiteral("-- 復元\n"));
    ASSERT_TRUE(own.Flush(kFlushWaitMs));
    EXPECT_EQ(reader.Text(restoredId), QStringLiteral("-- 復元\n") + expected[u"無題1"_qs].text);
}

TEST(JournalSessions, ACleanEndLeavesNothingToClaim) {
    TempStore temp;
    {
        ChildJournal child(temp.paths(), {"hold"});
        ASSERT_NE(StartChild(child), 0);
        child.Send("end");
        EXPECT_EQ(child.ReadLine(), "ended");
    }
    EXPECT_TRUE(OrphanClaim::Take(temp.paths(), 0).Sessions().empty());
    EXPECT_TRUE(LockFiles(temp.paths()).isEmpty());
    JournalReader reader(temp.paths());
    for (const store::KeptDocument& doc : reader.All())
        EXPECT_FALSE(doc.open) << doc.caption.toStdString();
    EXPECT_EQ(reader.All().size(), 4u) << "every kept document closed, the blank one dropped";
}

TEST(JournalSessions, WithoutEndSessionTheSessionIsLeftAsACrashLeavesIt) {
    TempStore temp;
    qint64 first = 0;
    {
        QueryJournal journal(temp.paths(), nullptr);
        const auto key = journal.Open(QStringLiteral("無題1"), QString());
        journal.Edit(key, 0, 0, QStringLiteral("SELECT 1"));
        journal.Open(QStringLiteral("無題2"), QStringLiteral(" \n")); // blank: nothing to offer
        ASSERT_TRUE(journal.Flush(kFlushWaitMs));
        first = journal.Session();
    }
    {
        // A crash with only blank documents: nothing to offer, and ended.
        QueryJournal journal(temp.paths(), nullptr);
        journal.Open(QStringLiteral("無題1"), QStringLiteral("\t"));
        ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    }
    QueryJournal next(temp.paths(), nullptr);
    ASSERT_TRUE(next.Flush(kFlushWaitMs));
    const OrphanClaim claim = OrphanClaim::Take(temp.paths(), next.Session());
    EXPECT_EQ(claim.Sessions(), std::vector<qint64>{first});
    ASSERT_EQ(claim.Documents().size(), 1u);
    EXPECT_EQ(claim.Documents()[0].firstLine, QStringLiteral("SELECT 1"));
}

TEST(JournalSessions, TwoInstancesAtOnceNeverSeeEachOther) {
    TempStore temp;
    QueryJournal a(temp.paths(), nullptr);
    QueryJournal b(temp.paths(), nullptr);
    const auto ka = a.Open(QStringLiteral("無題1"), QStringLiteral("select 'a'"));
    const auto kb = b.Open(QStringLiteral("無題1"), QStringLiteral("select 'b'"));
    for (int i = 0; i < 50; ++i) {
        a.Edit(ka, 0, 0, QStringLiteral("a"));
        b.Edit(kb, 0, 0, QStringLiteral("b"));
    }
    ASSERT_TRUE(a.Flush(kFlushWaitMs));
    ASSERT_TRUE(b.Flush(kFlushWaitMs));
    ASSERT_NE(a.Session(), b.Session());
    EXPECT_TRUE(OrphanClaim::Take(temp.paths(), a.Session()).Documents().empty());
    EXPECT_TRUE(OrphanClaim::Take(temp.paths(), b.Session()).Documents().empty());
    JournalReader reader(temp.paths());
    QStringList texts;
    for (const store::KeptDocument& doc : reader.All())
        texts << *reader.Text(doc.id);
    texts.sort();
    EXPECT_EQ(texts,
              (QStringList{QString(50, u'a') + u"select 'a'", QString(50, u'b') + u"select 'b'"}));
}

TEST(JournalSessions, LockFilesNoSessionNamesGoUnlessSomeoneHoldsThem) {
    TempStore temp;
    {
        // A crashed session, then its store lost: its lock file names nothing.
        ChildJournal child(temp.paths(), {"hold"});
        ASSERT_NE(StartChild(child), 0);
    }
    ASSERT_EQ(LockFiles(temp.paths()).size(), 1);
    ASSERT_TRUE(QFile::remove(temp.paths().Database()));
    // Another instance between making its lock file and writing its row.
    const std::optional<store::SessionLock> starting =
        store::SessionLock::TryTake(temp.paths().SessionLocks(), QStringLiteral("starting.lock"));
    ASSERT_TRUE(starting.has_value());

    QueryJournal journal(temp.paths(), nullptr);
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    QStringList locks = LockFiles(temp.paths());
    EXPECT_EQ(locks.size(), 2);
    EXPECT_TRUE(locks.contains(u"starting.lock"_qs)) << "held: left alone";
}
