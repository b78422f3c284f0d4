#include "store_test_support.h"

#include "store/history_rows.h"
#include "store/history_search.h"
#include "store/local_store.h"
#include "store/query_history.h"

#include <QChar>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

using namespace brindle;
using namespace brindle::test;
using store::HistoryEntry;
using store::HistoryFilter;
using store::HistoryOutcome;
using store::HistoryReader;

namespace {

QString Char(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

// Pieces of query text that folding, the index and its query syntax treat
// in every way there is: case in many scripts (letters whose case is newer
// than the index's tables too), characters that fold into ASCII, full-width
// letters, characters beyond the BMP, NUL, and FTS and LIKE syntax.
const QStringList& Pieces() {
    static const QStringList pieces = {QStringLiteral("SELECT"),
                                       QStringLiteral("select"),
                                       QStringLiteral("From"),
                                       QStringLiteral("社員"),
                                       QStringLiteral("名前"),
                                       QStringLiteral("ｓｅｌｅｃｔ"),
                                       QStringLiteral("ＳＥＬＥＣＴ"),
                                       QStringLiteral("Straße"),
                                       QStringLiteral("STRASSE"),
                                       Char(0x1E9E),
                                       QStringLiteral("Σίσυφος"),
                                       QStringLiteral("ΣΊΣΥΦΟΣ"),
                                       QStringLiteral("ς"),
                                       QStringLiteral("Москва"),
                                       QStringLiteral("МОСКВА"),
                                       Char(0x1C80),
                                       QStringLiteral("в"),
                                       Char(0x13F0),
                                       Char(0x13F8),
                                       Char(0x13A0),
                                       Char(0xAB70),
                                       Char(0x10D0),
                                       Char(0x1C90),
                                       QStringLiteral("İ"),
                                       QStringLiteral("ı"),
                                       QStringLiteral("i"),
                                       Char(0x017F),
                                       Char(0x212A),
                                       QStringLiteral("k"),
                                       QStringLiteral("Ä"),
                                       QStringLiteral("ä"),
                                       QStringLiteral("🍣"),
                                       Char(0x10400),
                                       Char(0x10428),
                                       QStringLiteral("\""),
                                       QStringLiteral("%"),
                                       QStringLiteral("_"),
                                       QStringLiteral("*"),
                                       QStringLiteral("'"),
                                       QStringLiteral("\\"),
                                       QStringLiteral("("),
                                       QStringLiteral("^"),
                                       QStringLiteral("NEAR"),
                                       QStringLiteral("OR"),
                                       QStringLiteral("AND"),
                                       QStringLiteral("col:"),
                                       QString(QChar(u'\0')),
                                       QStringLiteral("\n"),
                                       QStringLiteral("\t"),
                                       QStringLiteral(" "),
                                       QStringLiteral("a"),
                                       QStringLiteral("b"),
                                       QStringLiteral("Zq"),
                                       QStringLiteral("zq"),
                                       QStringLiteral("ab")};
    return pieces;
}

struct Kept {
    qint64 id;
    QString text;
    QString dsn;
    bool failed;
};

// `count` entries of random pieces, written straight into a new store.
std::vector<Kept> FillStore(const store::StorePaths& paths, int count, unsigned seed) {
    std::mt19937 rng(seed);
    const QStringList& pieces = Pieces();
    std::vector<HistoryEntry> entries;
    for (int n = 0; n < count; ++n) {
        QString text;
        const int length = static_cast<int>(rng() % 9);
        for (int i = 0; i < length; ++i) {
            text += pieces[static_cast<qsizetype>(rng() % pieces.size())];
            if (rng() % 3 == 0)
                text += u' ';
        }
        HistoryEntry entry =
            HistoryEntryOf(text, rng() % 8 == 0 ? QStringLiteral("本番DB") : QStringLiteral("開発"),
                           rng() % 5 == 0 ? HistoryOutcome::Failed : HistoryOutcome::Completed);
        entries.push_back(entry);
    }
    store::OpenedStore opened = store::OpenLocalStore(paths);
    store::SqliteTransaction transaction(opened.db, true, store::kCannotWrite);
    store::InsertHistoryEntries(opened.db, entries);
    transaction.Commit();
    std::vector<Kept> kept;
    const qint64 last = opened.db.LastRowId();
    for (int n = 0; n < count; ++n) {
        const HistoryEntry& e = entries[static_cast<std::size_t>(n)];
        kept.push_back({last - count + 1 + n, e.text, e.dsn, e.outcome == HistoryOutcome::Failed});
    }
    return kept;
}

// What a filter must find: Qt's case folding, character for character.
std::vector<qint64> Expected(const std::vector<Kept>& kept, const HistoryFilter& filter) {
    const QString folded = filter.search.toCaseFolded();
    std::vector<qint64> ids;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        if ((filter.dsn.isEmpty() || it->dsn == filter.dsn) &&
            (!filter.failuresOnly || it->failed) && it->text.toCaseFolded().contains(folded))
            ids.push_back(it->id);
    }
    return ids;
}

std::vector<qint64> Ids(const std::vector<HistoryEntry>& entries) {
    std::vector<qint64> ids;
    for (const HistoryEntry& e : entries)
        ids.push_back(e.id);
    return ids;
}

std::vector<qint64> Found(HistoryReader& reader, const QString& search) {
    HistoryFilter filter;
    filter.search = search;
    return Ids(reader.List(filter, -1));
}

} // namespace

TEST(HistorySearch, EveryWayOfSearchingFindsWhatCaseFoldingFinds) {
    // More entries than a short search reads whole before it turns to the
    // index, so that every way of narrowing is taken.
    TempStore temp;
    const std::vector<Kept> kept = FillStore(temp.paths(), 6'000, 7);
    HistoryReader reader(temp.paths());

    QStringList searches = Pieces();
    for (const QString& piece : Pieces()) {
        searches.push_back(piece.toUpper());
        searches.push_back(piece.toLower());
        searches.push_back(piece.toCaseFolded());
    }
    searches += {QStringLiteral("ss"),     QStringLiteral("ß"),
                 QStringLiteral("σίσ"),    QStringLiteral("ΣΊΣ"),
                 QStringLiteral("мос"),    QStringLiteral("ᲀ"),
                 QStringLiteral("\"\""),   QStringLiteral("%_"),
                 QStringLiteral("a OR b"), QStringLiteral("NEAR(a b)"),
                 QStringLiteral("\"*"),    QStringLiteral("ſelect"),
                 QStringLiteral("sele"),   QStringLiteral("ＳＥＬ"),
                 QStringLiteral("社員名"), QStringLiteral("no such text at all")};
    // Pieces of the texts themselves, in another case, cut anywhere (in the
    // middle of a surrogate pair too).
    std::mt19937 rng(11);
    while (searches.size() < 400) {
        const QString& text = kept[rng() % kept.size()].text;
        if (text.isEmpty())
            continue;
        const auto from = static_cast<qsizetype>(rng() % text.size());
        QString piece = text.mid(from, 1 + static_cast<qsizetype>(rng() % 6));
        searches.push_back(rng() % 2 ? piece.toUpper() : piece.toLower());
    }

    int paged = 0;
    for (const QString& search : searches) {
        SCOPED_TRACE(search.toStdString());
        HistoryFilter filter;
        filter.search = search;
        const std::vector<qint64> expected = Expected(kept, filter);
        ASSERT_EQ(Ids(reader.List(filter, -1)), expected);
        // The first page stops at its limit with the newest.
        const std::vector<qint64> first = Ids(reader.List(filter, 20));
        ASSERT_EQ(first, std::vector<qint64>(expected.begin(),
                                             expected.begin() +
                                                 std::min<std::size_t>(20, expected.size())));
        if (expected.size() > 20 && paged++ < 40) {
            // Page by page, each below the last one's oldest.
            std::vector<qint64> all;
            qint64 before = 0;
            for (;;) {
                const std::vector<HistoryEntry> page = reader.List(filter, 150, before);
                ASSERT_LE(page.size(), 150u);
                if (page.empty())
                    break;
                for (const HistoryEntry& e : page)
                    all.push_back(e.id);
                before = page.back().id;
            }
            ASSERT_EQ(all, expected);
        }
        // Narrowed to a data source and to failures: to few entries (read
        // whole), or to most (through the index).
        filter.dsn = rng() % 2 == 0 ? QStringLiteral("本番DB") : QStringLiteral("開発");
        filter.failuresOnly = rng() % 3 == 0;
        ASSERT_EQ(Ids(reader.List(filter, -1)), Expected(kept, filter));
    }
}

TEST(HistorySearch, CaseAndSyntaxAsAUserMeansThem) {
    TempStore temp;
    {
        store::HistoryRecorder recorder(temp.paths(), nullptr, true);
        for (const char16_t* text :
             {u"SELECT * FROM STRAẞE", u"select 1 -- Москва", u"ＳＥＬＥＣＴ 全角", u"a OR b",
              u"WHERE name LIKE '%_x'", u"SELECT \"quoted\"", u"社員一覧", u"ς", u"Kelvin K", u"x"})
            recorder.Record(HistoryEntryOf(QString::fromUtf16(text)));
    }
    HistoryReader reader(temp.paths());
    const auto texts = [&](const QString& search) {
        QStringList found;
        HistoryFilter filter;
        filter.search = search;
        for (const HistoryEntry& e : reader.List(filter, -1, 0, true))
            found.push_front(e.text);
        return found.join(u'|');
    };
    EXPECT_EQ(texts(QStringLiteral("straße")), QStringLiteral("SELECT * FROM STRAẞE"));
    EXPECT_EQ(texts(QStringLiteral("ss")), QString()) << "simple folding: ß is not ss";
    EXPECT_EQ(texts(QStringLiteral("МОСКВА")), QStringLiteral("select 1 -- Москва"));
    EXPECT_EQ(texts(QStringLiteral("ｓｅｌｅｃｔ")), QStringLiteral("ＳＥＬＥＣＴ 全角"));
    EXPECT_EQ(texts(QStringLiteral("Σ")), QStringLiteral("ς"));
    EXPECT_EQ(texts(QStringLiteral("社員")), QStringLiteral("社員一覧"));
    EXPECT_EQ(texts(QStringLiteral("員")), QStringLiteral("社員一覧"));
    EXPECT_EQ(texts(QStringLiteral("kelvin")), QStringLiteral("Kelvin K"));
    EXPECT_EQ(texts(QChar(0x212A) + QStringLiteral("ELVIN")), QStringLiteral("Kelvin K"));
    EXPECT_EQ(texts(QStringLiteral("sel")), QStringLiteral("SELECT * FROM STRAẞE|select 1 -- "
                                                           "Москва|SELECT \"quoted\""));
    EXPECT_EQ(texts(QStringLiteral("a OR b")), QStringLiteral("a OR b"));
    EXPECT_EQ(texts(QStringLiteral("OR b")), QStringLiteral("a OR b"));
    EXPECT_EQ(texts(QStringLiteral("%_")), QStringLiteral("WHERE name LIKE '%_x'"));
    EXPECT_EQ(texts(QStringLiteral("_")), QStringLiteral("WHERE name LIKE '%_x'"));
    EXPECT_EQ(texts(QStringLiteral("\"quoted\"")), QStringLiteral("SELECT \"quoted\""));
    EXPECT_EQ(texts(QStringLiteral("\"")), QStringLiteral("SELECT \"quoted\""));
    EXPECT_EQ(texts(QStringLiteral("*")), QStringLiteral("SELECT * FROM STRAẞE"));
    EXPECT_EQ(texts(QStringLiteral("quot*")), QString());
    EXPECT_EQ(texts(QStringLiteral("NEAR(a b)")), QString());
}

TEST(HistorySearch, ATextIsFoundPastItsNulHoweverOld) {
    // The index holds a text up to its first NUL; older than what a short
    // search reads whole, and with nothing else to find.
    TempStore temp;
    std::vector<HistoryEntry> entries{
        HistoryEntryOf(QStringLiteral("SELECT 'a") + QChar(u'\0') + QStringLiteral("Zq ケ'"))};
    for (int n = 0; n < 5'000; ++n)
        entries.push_back(HistoryEntryOf(QStringLiteral("SELECT %1").arg(n)));
    {
        store::OpenedStore opened = store::OpenLocalStore(temp.paths());
        store::SqliteTransaction transaction(opened.db, true, store::kCannotWrite);
        store::InsertHistoryEntries(opened.db, entries);
        transaction.Commit();
    }
    HistoryReader reader(temp.paths());
    for (const char16_t* search : {u"zq", u"q", u"ケ", u"ZQ ケ", u"a\0z"}) {
        SCOPED_TRACE(QString::fromUtf16(search).toStdString());
        HistoryFilter filter;
        filter.search = QString::fromUtf16(search);
        const std::vector<HistoryEntry> found = reader.List(filter, 10);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].id, 1);
    }
}

TEST(HistorySearch, TheIndexFoldsTheCharactersItIsAskedForAsQtDoes) {
    // Every character the index is asked for, and every one Qt folds as
    // such a character, must be folded by SQLite's trigram tokenizer to the
    // very character Qt folds it to: the index would otherwise miss texts.
    store::SqliteConnection db(QStringLiteral(":memory:"),
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, store::kCannotOpen);
    db.Exec("CREATE VIRTUAL TABLE probe USING fts5(text, content='', tokenize='trigram');"
            "CREATE VIRTUAL TABLE terms USING fts5vocab(probe, instance);",
            store::kCannotOpen);
    std::map<qint64, QString> expected;
    {
        store::SqliteTransaction transaction(db, true, store::kCannotWrite);
        store::SqliteStatement insert(db, "INSERT INTO probe(rowid, text) VALUES(?, ?)",
                                      store::kCannotWrite);
        for (char32_t c = 1; c <= 0x10FFFF; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const char32_t folded = QChar::toCaseFolded(c);
            if (!store::IndexFoldsAsQt(c) && !store::IndexFoldsAsQt(folded))
                continue;
            insert.Bind(1, qint64{c}).Bind(2, Char(c).repeated(3)).Run();
            insert.Reset();
            expected[c] = Char(folded).repeated(3);
        }
        transaction.Commit();
    }
    ASSERT_GT(expected.size(), 60'000u);
    store::SqliteStatement terms(db, "SELECT doc, term FROM terms", store::kCannotRead);
    int wrong = 0;
    while (terms.Step()) {
        const auto it = expected.find(terms.Int(0));
        ASSERT_NE(it, expected.end());
        if (terms.Text(1) != it->second && ++wrong <= 10)
            ADD_FAILURE() << "U+" << std::hex << it->first << " folds otherwise in the index";
        expected.erase(it);
    }
    EXPECT_EQ(wrong, 0);
    for (const auto& [c, text] : expected)
        ADD_FAILURE() << "U+" << std::hex << c << " is not in the index";
}

TEST(HistorySearch, AFoldedSearchMatchesEveryCharacterQtFoldsAlike) {
    // Each pair Qt folds alike, both ways round and inside other text:
    // the short cuts (ASCII, kana and ideographs) must not lose one.
    int pairs = 0;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        const char32_t folded = QChar::toCaseFolded(c);
        if (folded == c || QChar::isSurrogate(c))
            continue;
        ++pairs;
        const QString a = Char(c);
        const QString b = Char(folded);
        for (const auto& [search, text] : {std::pair{a, b}, std::pair{b, a}}) {
            const QByteArray inside = (u"xy " + text + u" 社員").toUtf8();
            if (!store::FoldedSearch(search).FoundIn(text.toUtf8()) ||
                !store::FoldedSearch(u"Y " + search).FoundIn(inside))
                ADD_FAILURE() << "U+" << std::hex << unsigned(c) << " and U+" << unsigned(folded);
        }
    }
    EXPECT_GT(pairs, 1'000);
    // And what is not alike stays apart.
    EXPECT_FALSE(store::FoldedSearch(QStringLiteral("k")).FoundIn("\xC5\xBF"));
    EXPECT_FALSE(store::FoldedSearch(QStringLiteral("社")).FoundIn("\xE7\xA4"));
    EXPECT_TRUE(store::FoldedSearch(QStringLiteral("社")).FoundIn("x\xE7\xA4\xBE"));
    EXPECT_FALSE(store::FoldedSearch(QStringLiteral("ä")).FoundIn("a"));
    EXPECT_TRUE(store::FoldedSearch(QString()).FoundIn(""));
    EXPECT_TRUE(store::FoldedSearch(QString(QChar(u'\0'))).FoundIn(QByteArrayView("a\0b", 3)));
    EXPECT_FALSE(store::FoldedSearch(QString(QChar(u'\0'))).FoundIn("ab"));
}

TEST(HistorySearch, NarrowingDataSourcesDeletingAndClearing) {
    TempStore temp;
    {
        store::HistoryRecorder recorder(temp.paths(), nullptr, true);
        recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 1"), QStringLiteral("本番DB")));
        recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 2"), QStringLiteral("BrindleSample"),
                                       HistoryOutcome::Failed));
        recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 3"), QStringLiteral("BrindleSample"),
                                       HistoryOutcome::Cancelled));
        recorder.Record(HistoryEntryOf(QStringLiteral("UPDATE t"), QStringLiteral("Zeta")));
        recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 5"), QStringLiteral("本番DB"),
                                       HistoryOutcome::Failed));
    }
    HistoryReader reader(temp.paths());
    EXPECT_EQ(reader.DataSources(),
              QStringList({QStringLiteral("BrindleSample"), QStringLiteral("Zeta"),
                           QStringLiteral("本番DB")}));
    const auto firstLines = [&](const HistoryFilter& filter, qint64 before = 0) {
        QStringList lines;
        for (const HistoryEntry& e : reader.List(filter, 100, before))
            lines.push_back(e.firstLine);
        return lines.join(u'|');
    };
    HistoryFilter filter;
    EXPECT_EQ(firstLines(filter), QStringLiteral("SELECT 5|UPDATE t|SELECT 3|SELECT 2|SELECT 1"));
    filter.dsn = QStringLiteral("本番DB");
    EXPECT_EQ(firstLines(filter), QStringLiteral("SELECT 5|SELECT 1"));
    filter.failuresOnly = true;
    EXPECT_EQ(firstLines(filter), QStringLiteral("SELECT 5"));
    filter.dsn.clear();
    EXPECT_EQ(firstLines(filter), QStringLiteral("SELECT 5|SELECT 2")) << "cancelled is no failure";
    filter = {};
    filter.search = QStringLiteral("select");
    const std::vector<HistoryEntry> all = reader.List(filter, 2);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(firstLines(filter, all[1].id), QStringLiteral("SELECT 2|SELECT 1"));
    EXPECT_TRUE(reader.List(filter, 0).empty());

    // Deleted through the reader, and through the sqlite3 shell's SQL.
    reader.Delete({all[0].id, 424242});
    ExecuteSql(temp.paths(), "DELETE FROM history WHERE text = 'SELECT 1'");
    EXPECT_EQ(firstLines(filter), QStringLiteral("SELECT 3|SELECT 2"));
    EXPECT_EQ(Found(reader, QStringLiteral("5")), std::vector<qint64>());

    reader.Clear();
    EXPECT_EQ(firstLines({}), QString());
    EXPECT_TRUE(reader.DataSources().isEmpty());
    {
        store::HistoryRecorder recorder(temp.paths(), nullptr, true);
        recorder.Record(HistoryEntryOf(QStringLiteral("SELECT 6")));
    }
    const std::vector<HistoryEntry> after = reader.List(filter, 10);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].firstLine, QStringLiteral("SELECT 6"));
    EXPECT_GT(after[0].id, all[0].id) << "ids are never given twice";
    EXPECT_EQ(Found(reader, QStringLiteral("6")), std::vector<qint64>{after[0].id});
    // The index holds nothing of what was cleared, and the shell may delete
    // after a clear too.
    ExecuteSql(temp.paths(), "DELETE FROM history");
    EXPECT_EQ(QueryNumber(temp.paths(),
                          "SELECT count(*) FROM history_search WHERE history_search MATCH 'sel'"),
              0);
}
