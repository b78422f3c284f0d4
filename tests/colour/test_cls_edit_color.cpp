#include "colour/cls_edit_color.h"
#include "colour/colour_passes.h"
#include "keyword_file_fixture.h"
#include "qt_print.h"
#include "support/temp_config_home.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

using namespace brindle;
using namespace Qt::StringLiterals;

namespace {

const QString kTable = u"{\\colortbl ;\\red0\\green0\\blue255;\\red100\\green100\\blue100;"
                       u"\\red255\\green0\\blue255;\\red0\\green150\\blue0;}"_s;

// What CColor makes of "{" + body: the colour table, then the body coloured.
QString Coloured(const QString& body) {
    return u'{' + kTable + body;
}

class CColorTest : public ::testing::Test {
protected:
    // Writes the table lines and colours `rtf` with a fresh instance.
    QString Colour(const QStringList& table, const QString& rtf, qint16 tabSpaceNum = 4) {
        file.WriteLines(table);
        clsEditColor colour(boxes, file.path());
        colour.setTabSpaceNum(tabSpaceNum);
        return colour.CColor(rtf);
    }

    test::TempKeywordFile file;
    test::RecordingErrorBoxes boxes;
};

const QStringList kExampleTable = {u"select,1"_s, u"from,1"_s, u"where,1"_s, u"all,3"_s};

TEST_F(CColorTest, ColoursTheLineCommentExample) {
    const QString input =
        u"{\\rtf1\\ansi\\f0 select name\\par from t -- all\\par \\tab where id = 1\\par }\r\n"_s;
    const QString expected =
        u"{{\\colortbl "
        u";\\red0\\green0\\blue255;\\red100\\green100\\blue100;\\red255\\green0\\blue255;"
        u"\\red0\\green150\\blue0;}\\rtf1\\ansi\\f0 \\cf1 select\\cf0  name\\par \\cf1 from\\cf0  "
        u"t "
        u"\\cf4 -- all\\cf0 \\par     \\cf1 where\\cf0  id = 1\\par }"_s;
    EXPECT_EQ(Colour(kExampleTable, input), expected);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CColorTest, ColoursTheBlockCommentExample) {
    const QString input = u"{\\rtf1\\ansi\\f0 /* from\\par x */ SELECT 1\\par }"_s;
    EXPECT_EQ(
        Colour(kExampleTable, input),
        Coloured(u"\\rtf1\\ansi\\f0 \\cf4 /* from\\par x */\\cf0  \\cf1 SELECT\\cf0  1\\par }"_s));
}

TEST_F(CColorTest, ColoursOnlyDelimitedOccurrences) {
    const struct {
        const char* name;
        QStringList table;
        QString body; // the input is "{" + body
        QString coloured;
    } cases[] = {
        {"count( is not delimited",
         {u"count,2"_s},
         u"\\f0 count(*) count\\par }"_s,
         u"\\f0 count(*) \\cf2 count\\cf0 \\par }"_s},
        {"after a comma, a period or a quote",
         {u"count,2"_s},
         u"\\f0 a,count t.count 'count' \"count\"\\par }"_s,
         u"\\f0 a,count t.count 'count' \"count\"\\par }"_s},
        {"at the start of a line and before its end",
         {u"from,1"_s},
         u"\\f0 x\\par from\\par }"_s,
         u"\\f0 x\\par \\cf1 from\\cf0 \\par }"_s},
        {"inside a longer word",
         {u"select,1"_s},
         u"\\f0 selected preselect\\par }"_s,
         u"\\f0 selected preselect\\par }"_s},
        {"case is ignored and kept",
         {u"SeLeCt,1"_s},
         u"\\f0 SELECT select\\par }"_s,
         u"\\f0 \\cf1 SELECT\\cf0  \\cf1 select\\cf0 \\par }"_s},
        {"ideographic space delimits",
         {u"from,1"_s},
         u"\\f0 　from　\\par }"_s,
         u"\\f0 　\\cf1 from\\cf0 　\\par }"_s},
        {"tab, parenthesis and semicolon do not",
         {u"from,1"_s},
         u"\\f0 \tfrom (from) from;\\par }"_s,
         u"\\f0 \tfrom (from) from;\\par }"_s},
        {"two words are one keyword",
         {u"order by,1"_s},
         u"\\f0 order by x order  by\\par }"_s,
         u"\\f0 \\cf1 order by\\cf0  x order  by\\par }"_s},
        {"class 0 and 4 take the default switch",
         {u"a,0"_s, u"b,4"_s, u"c,-1"_s},
         u"\\f0 a b c\\par }"_s,
         u"\\f0 \\cf0 a\\cf0  \\cf0 b\\cf0  \\cf0 c\\cf0 \\par }"_s},
        {"a keyword listed twice",
         {u"select,1"_s, u"select,2"_s},
         u"\\f0 select\\par }"_s,
         u"\\f0 \\cf1 \\cf2 select\\cf0 \\cf0 \\par }"_s},
        {"Japanese keyword",
         {u"選択,2"_s},
         u"\\f0 選択 選択肢\\par }"_s,
         u"\\f0 \\cf2 選択\\cf0  選択肢\\par }"_s},
        {"a control word is coloured too",
         {u"par,1"_s},
         u"\\f0 x\\par }"_s,
         u"\\f0 x\\\\cf1 par\\cf0  }"_s},
        {"an occurrence inside a longer run",
         {u"aa,1"_s},
         u"\\f0 aaa aa\\par }"_s,
         u"\\f0 aaa \\cf1 aa\\cf0 \\par }"_s},
        {"the character after a miss is skipped",
         {u"a ,1"_s},
         u"\\f0 ba a  x\\par }"_s,
         u"\\f0 ba a  x\\par }"_s},
        {"a later entry sees the earlier switches",
         {u"select,1"_s, u"cf0,2"_s},
         u"\\f0 select\\par }"_s,
         u"\\f0 \\cf1 select\\\\cf2 cf0\\cf0  \\par }"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Colour(c.table, u'{' + c.body), Coloured(c.coloured));
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CColorTest, ColoursComments) {
    const QStringList table = {u"select,1"_s, u"from,1"_s};
    const struct {
        const char* name;
        QString body;
        QString coloured;
    } cases[] = {
        {"line comment ends before the paragraph mark", u"\\f0 a -- select\\par select\\par }"_s,
         u"\\f0 a \\cf4 -- select\\cf0 \\par \\cf1 select\\cf0 \\par }"_s},
        {"-- inside a quoted string", u"\\f0 select '--x' from t\\par from\\par }"_s,
         u"\\f0 \\cf1 select\\cf0  '\\cf4 --x' from t\\cf0 \\par \\cf1 from\\cf0 \\par }"_s},
        {"line comment on the last line without a paragraph mark", u"\\f0 x -- select}"_s,
         u"\\f0 x \\cf4 -- select\\cf0 }"_s},
        {"unclosed block comment runs to the end", u"\\f0 /* select\\par from\\par }"_s,
         u"\\f0 \\cf4 /* select\\par from\\par \\cf0 }"_s},
        {"/*/ is a whole comment", u"\\f0 /*/ select\\par }"_s,
         u"\\f0 \\cf4 /*/\\cf0  \\cf1 select\\cf0 \\par }"_s},
        {"markers inside a comment are not looked at", u"\\f0 /* -- */ -- /* x\\par }"_s,
         u"\\f0 \\cf4 /* -- */\\cf0  \\cf4 -- /* x\\cf0 \\par }"_s},
        {"no nesting", u"\\f0 /* /* */ */\\par }"_s, u"\\f0 \\cf4 /* /* */\\cf0  */\\par }"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Colour(table, u'{' + c.body), Coloured(c.coloured));
    }
}

TEST_F(CColorTest, TurnsTabsIntoBlanks) {
    const struct {
        qint16 tabSpaceNum;
        QString blanks; // what stands for "\tab "
    } cases[] = {{4, u"    "_s}, {8, u"        "_s}, {2, u"  "_s},
                 {1, u" "_s},    {0, u" "_s},        {-3, u" "_s}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tabSpaceNum);
        EXPECT_EQ(Colour({u"x,1"_s}, u"{\\f0 a\\tab b\\tab\r\n b\\par }"_s, c.tabSpaceNum),
                  Coloured(u"\\f0 a"_s + c.blanks + u"b" + c.blanks + u"b\\par }"));
    }
}

TEST_F(CColorTest, RemovesLineBreaksAndEarlierColours) {
    const QString plain = u"{\\rtf1\\f0 select a -- from\\par from b\\par }"_s;
    const QString coloured = Colour({u"select,1"_s, u"from,2"_s}, plain);
    ASSERT_FALSE(coloured.isEmpty());
    // Colouring the result again, or the text with its lines broken
    // anywhere, gives the same text.
    QString input = coloured.sliced(1 + kTable.size());
    input.prepend(u'{');
    EXPECT_EQ(Colour({u"select,1"_s, u"from,2"_s}, input), coloured);
    EXPECT_EQ(Colour({u"select,1"_s, u"from,2"_s},
                     u"{\\rtf1\\f0 sel\r\nect a -- fr\rom\\par from\n b\\par }"_s),
              coloured);
}

TEST_F(CColorTest, StartsWithTabSpaceNumFour) {
    clsEditColor colour(boxes, file.path());
    EXPECT_EQ(colour.TabSpaceNum(), 4);
    colour.setTabSpaceNum(-12);
    EXPECT_EQ(colour.TabSpaceNum(), -12);
}

TEST_F(CColorTest, ReportsLoadFailuresAndReturnsNothing) {
    const struct {
        const char* name;
        QByteArray file; // empty: no file at all
        QString message;
    } cases[] = {
        {"missing file", {}, u"53:ファイルが見つかりません。"_s},
        {"empty file", QByteArray("", 0), u"62:ファイルの終わりを越えて読み込もうとしました。"_s},
        {"caption only: an empty table", "KEYWORD\r\n",
         u"9:インデックスが有効範囲にありません。"_s},
        {"LF line ends: an empty table", "KEYWORD\nselect,1\n",
         u"9:インデックスが有効範囲にありません。"_s},
        {"record without a comma", "KEYWORD\r\nselect,1\r\nfrom\r\n",
         u"9:インデックスが有効範囲にありません。"_s},
        {"class is a letter", "KEYWORD\r\nselect,x\r\n", u"13:型が一致しません。"_s},
        {"class out of range", "KEYWORD\r\nselect,40000\r\n", u"6:オーバーフローしました。"_s},
        {"only empty keywords", "KEYWORD\r\n,1\r\n", u"9:インデックスが有効範囲にありません。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempKeywordFile keywords;
        if (!c.file.isNull()) {
            keywords.WriteBytes(c.file);
        }
        test::RecordingErrorBoxes errors;
        clsEditColor colour(errors, keywords.path());
        EXPECT_EQ(colour.CColor(u"{\\rtf1 select\\par }"_s), QString());
        EXPECT_EQ(errors.shown, QStringList{c.message});
    }
}

TEST_F(CColorTest, ReportsAMissingDirectory) {
    clsEditColor colour(boxes, file.dirPath() + u"/gone/KEYWORD_COLOR.CSV");
    EXPECT_EQ(colour.CColor(u"{\\rtf1 select\\par }"_s), QString());
    EXPECT_EQ(boxes.shown, QStringList{u"76:パスが見つかりません。"_s});
}

TEST_F(CColorTest, ReadsTheFileAfreshOnEveryCall) {
    clsEditColor colour(boxes, file.path());
    const QString rtf = u"{\\f0 select\\par }"_s;
    file.WriteLines({u"select,1"_s});
    EXPECT_EQ(colour.CColor(rtf), Coloured(u"\\f0 \\cf1 select\\cf0 \\par }"_s));
    file.WriteLines({u"select,3"_s});
    EXPECT_EQ(colour.CColor(rtf), Coloured(u"\\f0 \\cf3 select\\cf0 \\par }"_s));
    file.WriteLines({u"select"_s});
    EXPECT_EQ(colour.CColor(rtf), QString());
    EXPECT_EQ(boxes.numbers, std::vector<int>{err::SubscriptOutOfRange});
}

TEST_F(CColorTest, MatchesKeywordsInTheirWrittenForm) {
    // Nothing is unescaped: an escaped brace or a \'xx byte is matched as written.
    const QStringList table = {u"\\{x,1"_s, u"\\'82\\'a0,2"_s};
    EXPECT_EQ(Colour(table, u"{\\f0 \\{x \\'82\\'a0 \\par }"_s),
              Coloured(u"\\f0 \\cf1 \\{x\\cf0  \\cf2 \\'82\\'a0\\cf0  \\par }"_s));
}

TEST_F(CColorTest, HandlesTextThatIsNotAWholeDocument) {
    const struct {
        const char* name;
        QString input;
        QString output;
    } cases[] = {
        {"empty text", u""_s, u'{' + kTable},
        {"no closing brace after an open comment", u"{x -- select"_s,
         u'{' + kTable + u"x \\cf4 -- select\\cf0 "_s},
        {"one character", u"{"_s, u'{' + kTable},
        {"no opening brace: nothing is dropped", u"x select"_s,
         u'{' + kTable + u"x \\cf1 select\\cf0 "_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Colour({u"select,1"_s}, c.input), c.output);
    }
}

TEST(CColorBesideExecutable, ReadsTheTableBesideTheProgram) {
    // The shipped table is copied beside the test program by the build.
    int argc = 1;
    char name[] = "brindle_colour_tests";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    const test::TempConfigHome noCopyOfTheUsers;
    ASSERT_TRUE(QDir(QCoreApplication::applicationDirPath()).exists(u"KEYWORD_COLOR.CSV"_s));
    test::RecordingErrorBoxes boxes;
    clsEditColor colour(boxes);
    EXPECT_EQ(colour.CColor(u"{\\f0 SELECT a FROM t WHERE b IS NULL\\par }"_s),
              Coloured(u"\\f0 \\cf1 SELECT\\cf0  a \\cf1 FROM\\cf0  t \\cf1 WHERE\\cf0  b "
                       u"\\cf3 IS\\cf0  \\cf3 NULL\\cf0 \\par }"_s));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

} // namespace
