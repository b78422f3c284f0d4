#include "scripted_documents.h"
#include "store_test_support.h"

#include "core/error.h"
#include "store/journal_reader.h"
#include "store/query_journal.h"

#include <gtest/gtest.h>

#include <random>

using namespace brindle;
using namespace brindle::test;
using store::JournalReader;
using store::QueryJournal;

namespace {

bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return true;
    }
    return false;
}

// A document typed into at random, beside the plain QString that gets the
// same edits. Every step leaves a valid text, but single edits may cut a
// surrogate pair in two, as an editor's changes can.
class RandomTyping {
public:
    RandomTyping(QueryJournal& journal, const QString& caption, QString text, unsigned seed)
        : m_journal(journal), m_key(journal.Open(caption, text)), m_text(std::move(text)),
          m_large(m_text.size() > 256 * 1024), m_rng(seed) {}

    const QString& text() const { return m_text; }
    QueryJournal::Key key() const { return m_key; }

    void Step() {
        const int kind = Pick(0, 99);
        if (kind < 35) {
            Edit(Boundary(), 0, Piece());
        } else if (kind < 55) {
            const qsizetype at = Boundary();
            Edit(at, Boundary(at, 40) - at, QString());
        } else if (kind < 70) {
            const qsizetype at = Boundary();
            Edit(at, Boundary(at, 12) - at, Piece());
        } else if (kind < 78) {
            // A pair typed in two halves.
            const qsizetype at = Boundary();
            Edit(at, 0, QString(QChar(0xD83D)));
            Edit(at + 1, 0, QString(QChar(0xDE00 + Pick(0, 60))));
        } else if (kind < 86) {
            // One half of a pair replaced: the edit starts or ends inside it.
            const qsizetype pair = m_text.indexOf(QChar(0xD83D), Pick(0, int(m_text.size())));
            if (pair >= 0 && Pick(0, 1) == 0)
                Edit(pair + 1, 1, QString(QChar(0xDE00 + Pick(0, 60))));
            else if (pair >= 0)
                Edit(pair, 1, QString(QChar(0xD83D)));
        } else if (kind < 92) {
            Edit(Boundary(), 0,
                 QStringLiteral("SELECT 日本語 FROM ｔａｂｌｅ\n").repeated(Pick(1, 40)));
        } else if (kind < 94) {
            // Everything selected and deleted: an empty text (a large one
            // stays large, to be journaled as edits).
            Edit(0, m_text.size(), m_large ? QueryLines(7'000) : QString());
        } else if (kind < 96) {
            m_text = QStringLiteral("-- 置き換え\n") + Piece() +
                     (m_large ? QueryLines(7'000) : QString());
            m_journal.Replace(m_key, m_text);
        } else {
            // A large paste.
            Edit(Boundary(), 0, QueryLines(Pick(100, 800)));
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }

    void Edit(qsizetype position, qsizetype removed, const QString& inserted) {
        m_journal.Edit(m_key, position, removed, inserted);
        m_text.replace(position, removed, inserted);
    }

    // A position that does not split a pair, at or after `from`, at most
    // `span` further.
    qsizetype Boundary(qsizetype from = 0, int span = -1) {
        const qsizetype last = span < 0 ? m_text.size() : std::min(m_text.size(), from + span);
        qsizetype at = from + Pick(0, int(last - from));
        if (at > 0 && at < m_text.size() && m_text.at(at).isLowSurrogate())
            --at;
        return std::max(at, from);
    }

    QString Piece() {
        static const QString atoms[] = {
            QStringLiteral("a"),  QStringLiteral("Z"), QStringLiteral(" "),  QStringLiteral("\n"),
            QStringLiteral("\t"), QStringLiteral("'"), QStringLiteral("日"), QStringLiteral("本語"),
            QStringLiteral("ｗ"), QStringLiteral("😀"), QStringLiteral("𠮷"), QStringLiteral("\r"),
        };
        QString piece;
        for (int n = Pick(0, 8); n > 0; --n)
            piece += atoms[Pick(0, int(std::size(atoms)) - 1)];
        return piece;
    }

    QueryJournal& m_journal;
    QueryJournal::Key m_key;
    QString m_text;
    bool m_large;
    std::mt19937 m_rng;
};

} // namespace

TEST(JournalRoundTrip, RandomEditsReadBackAsThePlainTextGetsThem) {
    // A small document is written whole each time, a large one as edits with
    // a snapshot now and then; both are typed into in turn.
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        TempStore temp;
        ProblemLog problems;
        QueryJournal journal(temp.paths(), problems.Callback());
        RandomTyping small(journal, QStringLiteral("無題1"), QueryLines(20), seed);
        RandomTyping large(journal, QStringLiteral("/tmp/large.sql"), QueryLines(7'000),
                           seed + 100);
        qint64 mostEditRows = 0;
        bool snapshotAfterEdits = false;
        for (int step = 1; step <= 400; ++step) {
            ASSERT_NO_FATAL_FAILURE(small.Step());
            ASSERT_NO_FATAL_FAILURE(large.Step());
            if (step % 25 != 0)
                continue;
            ASSERT_FALSE(HasLoneSurrogate(small.text()) || HasLoneSurrogate(large.text()));
            ASSERT_TRUE(journal.Flush(kFlushWaitMs));
            ASSERT_EQ(KeptText(temp.paths(), QStringLiteral("無題1")), small.text()) << step;
            ASSERT_EQ(KeptText(temp.paths(), QStringLiteral("/tmp/large.sql")), large.text())
                << step;
            const qint64 rows = QueryNumber(temp.paths(), "SELECT count(*) FROM edits");
            snapshotAfterEdits = snapshotAfterEdits || rows < mostEditRows;
            mostEditRows = std::max(mostEditRows, rows);
        }
        EXPECT_GT(mostEditRows, 0) << "the large document was journaled as edits";
        EXPECT_TRUE(snapshotAfterEdits) << "and got fresh snapshots";

        // Without a Flush the change still reaches the store by itself.
        journal.Edit(small.key(), 0, 0, QStringLiteral("-- 最後\n"));
        const QString last = QStringLiteral("-- 最後\n") + small.text();
        EXPECT_TRUE(
            WaitUntil([&] { return KeptText(temp.paths(), QStringLiteral("無題1")) == last; }));
        EXPECT_TRUE(problems.All().empty());
    }
}

TEST(JournalRoundTrip, EditsOutsideTheTextChangeWhatFitsAndLoseNothing) {
    TempStore temp;
    QueryJournal journal(temp.paths(), nullptr);
    const QueryJournal::Key key = journal.Open(QStringLiteral("無題1"), QStringLiteral("abc"));
    journal.Edit(key, 10, 5, QStringLiteral("d"));       // past the end: appended
    journal.Edit(key, -3, 1, QStringLiteral("_"));       // before the start
    journal.Edit(key, 2, 100, QStringLiteral("Z"));      // removes to the end only
    journal.Edit(key + 1000, 0, 0, QStringLiteral("x")); // no such document
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("無題1")), QStringLiteral("_bZ"));
}

TEST(JournalRoundTrip, AdoptedDocumentsMoveHereAndGoOn) {
    TempStore temp;
    ScriptedDocuments kept;
    qint64 firstSession = 0;
    {
        QueryJournal first(temp.paths(), nullptr);
        kept = WriteScriptedDocuments(first);
        firstSession = first.Session();
        first.EndSession();
    }
    const QString dump = QStringLiteral("/tmp/dump.sql");
    const qint64 smallId = KeptId(temp.paths(), QStringLiteral("無題1"));
    const qint64 largeId = KeptId(temp.paths(), dump);
    ASSERT_NE(smallId, 0);
    ASSERT_NE(largeId, 0);

    QueryJournal second(temp.paths(), nullptr);
    ASSERT_TRUE(second.Flush(kFlushWaitMs));
    const QueryJournal::Key small = second.Adopt(smallId, QStringLiteral("無題7"));
    const QueryJournal::Key large = second.Adopt(largeId, dump);
    second.Edit(small, 0, 0, QStringLiteral("-- 再開\n"));
    second.Edit(large, 5, 0, QStringLiteral("追加"));
    ASSERT_TRUE(second.Flush(kFlushWaitMs));

    QString smallText = QStringLiteral("-- 再開\n") + kept[QStringLiteral("無題1")].text;
    QString largeText = kept[dump].text;
    largeText.insert(5, QStringLiteral("追加"));
    JournalReader reader(temp.paths());
    EXPECT_EQ(reader.Text(smallId), smallText) << "the same row, not a copy";
    EXPECT_EQ(reader.Text(largeId), largeText);
    for (const store::KeptDocument& doc : reader.All()) {
        if (doc.id == smallId || doc.id == largeId) {
            EXPECT_TRUE(doc.open);
            EXPECT_EQ(doc.session, second.Session());
            EXPECT_NE(doc.session, firstSession);
        }
        if (doc.id == smallId) {
            EXPECT_EQ(doc.caption, QStringLiteral("無題7"));
        }
    }
    EXPECT_EQ(reader.All().size(), kept.size()) << "nothing copied";

    // Adopting a document open here already keeps both texts apart.
    const QueryJournal::Key again = second.Adopt(smallId, QStringLiteral("無題8"));
    second.Edit(again, 0, 0, QStringLiteral("x"));
    second.Close(small);
    ASSERT_TRUE(second.Flush(kFlushWaitMs));
    EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("無題8")), u'x' + smallText);
    EXPECT_EQ(reader.Text(smallId), smallText);
}

TEST(JournalRoundTrip, ClosedListFiltersDeletesAndDropsBlankTexts) {
    TempStore temp;
    QueryJournal journal(temp.paths(), nullptr);
    const struct {
        const char16_t* caption;
        const char16_t* text;
    } docs[] = {
        {u"無題1", u"SELECT * FROM 社員"},
        {u"/home/u/ＳＥＬＥＣＴ.sql", u"update t set a = 1"},
        {u"無題2", u"-- 集計\nＳＥＬＥＣＴ sum(x) FROM y"},
        {u"無題3", u"   \n\n\t"},
        {u"無題4", u""},
    };
    for (const auto& d : docs) {
        const auto key = journal.Open(QString::fromUtf16(d.caption), QString());
        journal.Edit(key, 0, 0, QString::fromUtf16(d.text));
        journal.Close(key);
    }
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    JournalReader reader(temp.paths());
    const auto captions = [](const std::vector<store::KeptDocument>& list) {
        QStringList out;
        for (const store::KeptDocument& doc : list)
            out << doc.caption;
        return out;
    };
    EXPECT_EQ(captions(reader.Closed(10)),
              (QStringList{u"無題2"_qs, u"/home/u/ＳＥＬＥＣＴ.sql"_qs, u"無題1"_qs}))
        << "blank texts are not kept; newest first";
    EXPECT_EQ(captions(reader.Closed(2)).size(), 2);
    // Qt's case-insensitive match: full-width letters fold too.
    EXPECT_EQ(captions(reader.Closed(10, QStringLiteral("ｓｅｌｅｃｔ"))),
              (QStringList{u"無題2"_qs, u"/home/u/ＳＥＬＥＣＴ.sql"_qs}));
    EXPECT_EQ(captions(reader.Closed(10, QStringLiteral("SELECT"))), QStringList{u"無題1"_qs});
    EXPECT_EQ(captions(reader.Closed(10, QStringLiteral("集計"))), QStringList{u"無題2"_qs});
    const std::vector<store::KeptDocument> all = reader.Closed(10);
    EXPECT_EQ(all[0].firstLine, QStringLiteral("-- 集計"));
    EXPECT_EQ(all[0].length, QStringLiteral("-- 集計\nＳＥＬＥＣＴ sum(x) FROM y").size());
    EXPECT_TRUE(all[0].closed.isValid());
    EXPECT_FALSE(all[0].open);

    journal.Delete({all[0].id, all[2].id});
    ASSERT_TRUE(journal.Flush(kFlushWaitMs));
    EXPECT_EQ(captions(reader.Closed(10)), QStringList{u"/home/u/ＳＥＬＥＣＴ.sql"_qs});
    EXPECT_EQ(reader.Text(all[0].id), std::nullopt);
}

TEST(JournalReader, NeverMakesAStore) {
    TempStore temp;
    try {
        JournalReader reader(temp.paths());
        ADD_FAILURE() << "a reader without a store";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(temp.paths().Database()))
            << e.description().toStdString();
    }
    EXPECT_FALSE(QFile::exists(temp.paths().Database()));
    EXPECT_FALSE(QFile::exists(temp.paths().directory));
}
