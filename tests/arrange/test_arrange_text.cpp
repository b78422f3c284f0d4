// The arrangement rules, one behaviour per case, on tables given directly.
#include "arrange/arrange_text.h"
#include "arrange_fixture.h"
#include "core/error.h"

#include <gtest/gtest.h>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Case {
    const char* behaviour;
    QString query;
    QString expected;
};

void ExpectArranged(const ArrangeTable& table, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(ArrangeText(c.query, table), c.expected);
    }
}

TEST(ArrangeText, TextWithoutKeywords) {
    ExpectArranged(
        ExampleTable(),
        {
            {"an empty query stays empty", QString(), QString()},
            {"a tab becomes 4 blanks", u"a\tb = c"_s, u"a    b = c"_s},
            {"blanks at the start stay without a keyword", u"   a = 1"_s, u"   a = 1"_s},
            {"a lone LF is an ordinary character", u"x\ny"_s, u"x\ny"_s},
            {"a lone CR is a line break and comes back as CR LF", u"a\rb"_s, u"a\r\nb"_s},
            {"a word inside a longer word is left alone", u"selection"_s, u"selection"_s},
            {"a word right after a parenthesis is left alone", u"x in (select y)"_s,
             u"x in (select y)"_s},
            {"a word right before a parenthesis is left alone", u"select(a)"_s, u"select(a)"_s},
            {"the ideographic blank is no delimiter", u"select\u3000a"_s, u"select\u3000a"_s},
        });
}

TEST(ArrangeText, LinesAroundAKeyword) {
    ExpectArranged(ExampleTable(),
                   {
                       {"a keyword alone ends with a line break", u"select"_s, u"select\r\n"_s},
                       {"blanks at the start go once a keyword is arranged", u"   select a"_s,
                        u"select\r\n    a"_s},
                       {"the query's letter case is kept", u"SeLeCt a FrOm t"_s,
                        u"SeLeCt\r\n    a\r\nFrOm\r\n    t"_s},
                       {"a tab counts as a delimiter", u"select\ta"_s, u"select\r\n    a"_s},
                       {"breaks right after the keyword go with the blanks around them",
                        u"select\r\n\r\n  a"_s, u"select\r\n    a"_s},
                       {"a break after blanks after the first breaks stays", u"select\r\n  \r\na"_s,
                        u"select\r\n    \r\na"_s},
                       {"only the first line after the keyword is indented", u"select a\r\nb"_s,
                        u"select\r\n    a\r\nb"_s},
                       {"blanks after the last keyword leave the next line's indentation",
                        u"a from  "_s, u"a\r\nfrom\r\n    "_s},
                       {"a keyword already at the start of a line gets no second break",
                        u"x\r\nfrom t"_s, u"x\r\nfrom\r\n    t"_s},
                   });
}

TEST(ArrangeText, Symbols) {
    ExpectArranged(
        ExampleTable(),
        {
            {"a symbol stays at the end of the text before it", u"a  ,  b"_s, u"a,\r\n    b"_s},
            {"a symbol is arranged inside a literal", u"x = 'a,b'"_s, u"x = 'a,\r\n    b'"_s},
            {"a symbol at the end of the text", u"x,"_s, u"x,\r\n"_s},
            {"no search starts at the last character", u","_s, u","_s},
            {"a lone LF before a symbol is kept", u"x\ny, z"_s, u"x\ny,\r\n    z"_s},
        });
    const ArrangeTable kinds = {{u"x"_s, 1, 2}, {u"y"_s, 1, -1}};
    ExpectArranged(kinds, {
                              {"every kind but 1 is a symbol, also inside a word", u"a x b"_s,
                               u"ax\r\n    b"_s},
                              {"a negative kind is a symbol", u"ayb"_s, u"ay\r\n    b"_s},
                          });
}

TEST(ArrangeText, Levels) {
    struct LevelCase {
        qint16 level;
        QString expected;
    };
    const LevelCase cases[] = {
        {1, u"a\r\nx\r\n    b"_s},
        {2, u"a\r\n    x\r\n        b"_s},
        {3, u"a\r\n        x\r\n            b"_s},
        {0, u"a\r\nx\r\nb"_s},
        {-5, u"a\r\nx\r\nb"_s},
        {-8191, u"a\r\nx\r\nb"_s},
        {8191, u"a\r\n"_s + QString(32760, u' ') + u"x\r\n"_s + QString(32764, u' ') + u"b"_s},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.level);
        EXPECT_EQ(ArrangeText(u"a x b", {{u"x"_s, c.level, 1}}), c.expected);
    }
}

TEST(ArrangeText, KeywordText) {
    ExpectArranged(
        {{u"GROUP BY"_s, 1, 1}},
        {
            {"a two-word keyword", u"x group by y"_s, u"x\r\ngroup by\r\n    y"_s},
            {"a two-word keyword needs its one blank", u"x group  by y"_s, u"x group  by y"_s},
        });
    ExpectArranged(
        {{u"select "_s, 1, 1}},
        {
            {"a keyword's blank must be in the query", u"select a"_s, u"select a"_s},
            {"and the blank after it is the delimiter", u"select  a"_s, u"select\r\n    a"_s},
        });
    ExpectArranged(
        {{u"ＳＥＬＥＣＴ"_s, 1, 1}, {u","_s, 1, 0}},
        {
            {"case is ignored beyond ASCII", u"ｓｅｌｅｃｔ a"_s, u"ｓｅｌｅｃｔ\r\n    a"_s},
            {"lowering keeps positions where full case mapping would not", u"İİ, a"_s,
             u"İİ,\r\n    a"_s},
            {"characters beyond the BMP keep positions", u"\U0001F600 ｓｅｌｅｃｔ a"_s,
             u"\U0001F600\r\nｓｅｌｅｃｔ\r\n    a"_s},
        });
}

TEST(ArrangeText, AWordThatEndsOrStartsALongerKeywordSplitsItInEitherOrder) {
    // The blank inside a two-word keyword is a delimiter, which is why the
    // shipped table has no plain JOIN beside LEFT JOIN and no UNION ALL.
    const KeywordArrange join{u"JOIN"_s, 1, 1};
    const KeywordArrange leftJoin{u"LEFT JOIN"_s, 1, 1};
    EXPECT_EQ(ArrangeText(u"a LEFT JOIN b", {leftJoin, join}), u"a\r\nLEFT\r\nJOIN\r\n    b"_s);
    EXPECT_EQ(ArrangeText(u"a LEFT JOIN b", {join, leftJoin}), u"a LEFT\r\nJOIN\r\n    b"_s);
    const KeywordArrange unionWord{u"UNION"_s, 1, 1};
    const KeywordArrange unionAll{u"UNION ALL"_s, 1, 1};
    EXPECT_EQ(ArrangeText(u"a UNION ALL b", {unionWord, unionAll}), u"a\r\nUNION\r\n    ALL b"_s);
    EXPECT_EQ(ArrangeText(u"a UNION ALL b", {unionAll, unionWord}),
              u"a\r\nUNION\r\n    ALL\r\n    b"_s);
}

TEST(ArrangeText, SearchGoesOnAtThePositionBeforeTheRebuild) {
    // The ten blanks before the first FROM go, so the old position past it
    // already lies beyond the start of the second one.
    EXPECT_EQ(ArrangeText(u"x          from from", {{u"FROM"_s, 1, 1}}),
              u"x\r\nfrom\r\n    from"_s);
    // Level 3 puts the keyword after the resumed search: found again, and
    // rebuilt to the same text.
    EXPECT_EQ(ArrangeText(u"x and y", {{u"AND"_s, 3, 1}}), u"x\r\n        and\r\n            y"_s);
}

TEST(ArrangeText, EntriesThatAreNeverApplied) {
    // Blank or empty keywords, and those of line breaks and blanks only, would
    // match what their own arrangement writes.
    const ArrangeTable table = {
        {QString(), 1, 1}, {u" "_s, 2, 0}, {u"  "_s, 3, 1}, {u"\r"_s, 2, 0}, {u"\r "_s, 4, 2}};
    EXPECT_EQ(ArrangeText(u"a  b\r\n\r\n \tc", table), u"a  b\r\n\r\n     c"_s);
}

TEST(ArrangeText, Failures) {
    struct Failure {
        const char* behaviour;
        ArrangeTable table;
        QString query;
        int number;
    };
    const Failure failures[] = {
        {"a table without entries", {}, u"select a"_s, err::SubscriptOutOfRange},
        {"a level above 8191 with text after the keyword",
         {{u"x"_s, 8192, 1}},
         u"x a"_s,
         err::Overflow},
        {"a level below -8191", {{u"x"_s, -8192, 1}}, u"a x"_s, err::Overflow},
        {"the lowest level", {{u"x"_s, -32768, 0}}, u"ax"_s, err::Overflow},
        {"the highest level", {{u"x"_s, 32767, 0}}, u"ax"_s, err::Overflow},
        {"an overflow in a later entry",
         {{u"a"_s, 1, 1}, {u"b"_s, 9000, 0}},
         u"a b"_s,
         err::Overflow},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.behaviour);
        try {
            ArrangeText(f.query, f.table);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), f.number);
        }
    }
}

TEST(ArrangeText, OverflowOnlyWhereAnOccurrenceQualifies) {
    EXPECT_EQ(ArrangeText(u"ax b", {{u"x"_s, 9000, 1}}), u"ax b"_s);
    EXPECT_EQ(ArrangeText(u"a b", {{u"x"_s, -9000, 0}}), u"a b"_s);
}

} // namespace
} // namespace brindle::test
