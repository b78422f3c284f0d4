// Reading the arrange keyword table, and every failure the formatter reports.
#include "arrange/arrange_table.h"
#include "arrange/cls_arrange_query.h"
#include "arrange_fixture.h"
#include "core/error.h"

#include <QDir>

#include <functional>

#include <gtest/gtest.h>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kCaption = u"キーワード,レベル,種類\r\n"_s;

TEST(ArrangeTableText, RowsBecomeEntries) {
    struct Case {
        const char* behaviour;
        QString text;
        ArrangeTable table;
    };
    const Case cases[] = {
        {"one entry per row",
         kCaption + u"SELECT,1,1\r\nFROM,2,1\r\n\",\",1,0"_s,
         {{u"SELECT"_s, 1, 1}, {u"FROM"_s, 2, 1}, {u","_s, 1, 0}}},
        {"a final CR LF adds nothing", kCaption + u"SELECT,1,1\r\n"_s, {{u"SELECT"_s, 1, 1}}},
        {"blank lines between rows add nothing",
         kCaption + u"SELECT,1,1\r\n\r\n   \r\nFROM,1,1"_s,
         {{u"SELECT"_s, 1, 1}, {u"FROM"_s, 1, 1}}},
        {"the caption is never read", u"SELECT,1,1\r\nFROM,1,1"_s, {{u"FROM"_s, 1, 1}}},
        {"bare LF line ends make one caption line", u"caption\nSELECT,1,1\nFROM,1,1"_s, {}},
        {"a lone CR does not end a line", kCaption + u"a\rb,1,0"_s, {{u"a\rb"_s, 1, 0}}},
        {"the line is trimmed, so blanks around it go",
         kCaption + u"  SELECT,1,1  "_s,
         {{u"SELECT"_s, 1, 1}}},
        {"blanks around the numbers are allowed",
         kCaption + u"SELECT, 2 , -1"_s,
         {{u"SELECT"_s, 2, -1}}},
        {"a blank before the first comma is part of the keyword",
         kCaption + u"SELECT ,1,1"_s,
         {{u"SELECT "_s, 1, 1}}},
        {"fields after the third are ignored",
         kCaption + u"SELECT,1,1,x,,y"_s,
         {{u"SELECT"_s, 1, 1}}},
        {"numbers are rounded half to even", kCaption + u"a,1.5,2.5"_s, {{u"a"_s, 2, 2}}},
        {"the 16-bit limits", kCaption + u"a,-32768,32767"_s, {{u"a"_s, -32768, 32767}}},
        {"an empty keyword is left out", kCaption + u",1,1\r\nFROM,1,1"_s, {{u"FROM"_s, 1, 1}}},
        {"a blank keyword is left out", kCaption + u"\" \",2,0\r\n\"  \",1,1"_s, {}},
        {"a keyword of breaks and blanks is left out",
         kCaption + u"\"\r \",1,0\r\nx\r,1,0"_s,
         {{u"x\r"_s, 1, 0}}},
        {"Japanese keywords", kCaption + u"選択,1,1"_s, {{u"選択"_s, 1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(ParseArrangeTable(c.text), c.table);
    }
}

TEST(ArrangeTableText, MalformedRowsFail) {
    struct Case {
        const char* behaviour;
        QString rows;
        int number;
    };
    const Case cases[] = {
        {"fewer than three fields", u"SELECT,1"_s, err::SubscriptOutOfRange},
        {"a final comma gives no third field", u"SELECT,1,"_s, err::SubscriptOutOfRange},
        {"a level that is not a number", u"SELECT,x,1"_s, err::TypeMismatch},
        {"an empty kind", u"SELECT,1,"_s + u","_s, err::TypeMismatch},
        {"a hexadecimal level", u"SELECT,&H10,1"_s, err::TypeMismatch},
        {"a level above 16 bits", u"SELECT,32768,1"_s, err::Overflow},
        {"a kind below 16 bits", u"SELECT,1,-32769"_s, err::Overflow},
        {"a bad row after good ones", u"SELECT,1,1\r\nFROM,1"_s, err::SubscriptOutOfRange},
        {"a left-out keyword is still checked", u",x,1"_s, err::TypeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        try {
            ParseArrangeTable(QString(kCaption + c.rows));
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), c.number);
        }
    }
}

TEST(ArrangeTableText, TheLineCounterIsSixteenBits) {
    // 32,767 lines are the most: the caption and the empty piece after a
    // final CR LF count as lines.
    const QString rows = QString(u"a,1,0\r\n"_s).repeated(32766);
    EXPECT_EQ(ParseArrangeTable(QString(kCaption + rows.chopped(2))).size(), 32766u);
    try {
        ParseArrangeTable(QString(kCaption + rows));
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), err::Overflow);
    }
}

// One arrangement through the file; the boxes it showed.
struct Arranged {
    QString text;
    std::vector<QString> boxes;
};

Arranged ArrangeThrough(const QString& path, const QString& query) {
    RecordingErrorSink errors;
    clsArrangeQuery formatter(errors, path);
    return {formatter.CArrange(query), errors.texts};
}

TEST(ArrangeKeywordFile, FailuresShowOneBoxAndGiveNothing) {
    const QString query = u"select a from t"_s;
    struct Case {
        const char* behaviour;
        std::function<void(KeywordFile&)> prepare;
        QString path; // empty: the prepared file
        QString box;
    };
    const Case cases[] = {
        {"no file", [](KeywordFile&) {}, QString(), u"53:ファイルが見つかりません。"_s},
        {"no directory", [](KeywordFile&) {}, u"/nonexistent-brindle/KEYWORD_ARRANGE.CSV"_s,
         u"76:パスが見つかりません。"_s},
        {"a directory in the file's place", [](KeywordFile& file) { QDir().mkpath(file.path()); },
         QString(), u"70:アクセスが拒否されました。"_s},
        {"an empty file", [](KeywordFile& file) { file.WriteBytes({}); }, QString(),
         u"62:ファイルの終わりを越えて読み込もうとしました。"_s},
        {"a row of two fields", [](KeywordFile& file) { file.WriteRows({u"SELECT,1"_s}); },
         QString(), u"9:インデックスが有効範囲にありません。"_s},
        {"a level that is not a number",
         [](KeywordFile& file) { file.WriteRows({u"SELECT,one,1"_s}); }, QString(),
         u"13:型が一致しません。"_s},
        {"a kind outside 16 bits", [](KeywordFile& file) { file.WriteRows({u"SELECT,1,99999"_s}); },
         QString(), u"6:オーバーフローしました。"_s},
        {"too many lines",
         [](KeywordFile& file) { file.WriteText(QString(u"\r\n"_s).repeated(32767)); }, QString(),
         u"6:オーバーフローしました。"_s},
        {"only the caption", [](KeywordFile& file) { file.WriteRows({}); }, QString(),
         u"9:インデックスが有効範囲にありません。"_s},
        {"only left-out rows",
         [](KeywordFile& file) {
             file.WriteRows({u",1,1"_s, u"\" \",2,0"_s});
         },
         QString(), u"9:インデックスが有効範囲にありません。"_s},
        {"an indentation overflow", [](KeywordFile& file) { file.WriteRows({u"SELECT,9000,1"_s}); },
         QString(), u"6:オーバーフローしました。"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        KeywordFile file;
        c.prepare(file);
        const Arranged arranged = ArrangeThrough(c.path.isEmpty() ? file.path() : c.path, query);
        EXPECT_EQ(arranged.text, QString());
        EXPECT_EQ(arranged.boxes, std::vector<QString>{c.box});
    }
}

TEST(ArrangeKeywordFile, IsReadAfreshOnEveryCall) {
    KeywordFile file;
    RecordingErrorSink errors;
    clsArrangeQuery formatter(errors, file.path());
    file.WriteRows({u"FROM,1,1"_s});
    EXPECT_EQ(formatter.CArrange(u"select a from t"_s), u"select a\r\nfrom\r\n    t"_s);
    file.WriteRows({u"SELECT,1,1"_s});
    EXPECT_EQ(formatter.CArrange(u"select a from t"_s), u"select\r\n    a from t"_s);
    EXPECT_TRUE(errors.numbers.empty());
}

TEST(ArrangeKeywordFile, KeywordsInTheFileAreMatched) {
    struct Case {
        const char* behaviour;
        QStringList rows;
        QString query;
        QString expected;
    };
    const Case cases[] = {
        {"small letters in the file match capitals in the query",
         {u"select,1,1"_s},
         u"SELECT a"_s,
         u"SELECT\r\n    a"_s},
        {"a Japanese keyword in code page 932", {u"選択,1,1"_s}, u"選択 列"_s, u"選択\r\n    列"_s},
        {"a quoted comma", {u"\",\",1,0"_s}, u"a, b"_s, u"a,\r\n    b"_s},
        {"a blank after each comma",
         {u"SELECT, 2, 1"_s},
         u"x select a"_s,
         u"x\r\n    select\r\n        a"_s},
        {"an empty query stays empty", {u"SELECT,1,1"_s}, QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        KeywordFile file;
        file.WriteRows(c.rows);
        const Arranged arranged = ArrangeThrough(file.path(), c.query);
        EXPECT_EQ(arranged.text, c.expected);
        EXPECT_TRUE(arranged.boxes.empty());
    }
}

} // namespace
} // namespace brindle::test
