#include "colour/keyword_table.h"
#include "qt_print.h"
#include "core/error.h"

#include <gtest/gtest.h>

#include <optional>

namespace brindle {
// Found by argument-dependent lookup, so it lives beside the type.
void PrintTo(const KeywordColor& entry, std::ostream* os) {
    ::PrintTo(entry.Keyword, os);
    *os << ',' << entry.ColorNo;
}
} // namespace brindle

using namespace brindle;
using namespace Qt::StringLiterals;

namespace {

// The error number a parse fails with, or nothing.
std::optional<int> ParseError(const QString& text) {
    try {
        ParseKeywordTable(text);
    } catch (const Error& error) {
        return error.number();
    }
    return std::nullopt;
}

TEST(ParseKeywordTable, ReadsRecordsAfterTheCaption) {
    const struct {
        const char* name;
        QString text;
        KeywordTable table;
    } cases[] = {
        {"minimal file",
         u"caption\r\nselect,1\r\nfrom,1\r\nnull,3"_s,
         {{u"select"_s, 1}, {u"from"_s, 1}, {u"null"_s, 3}}},
        {"caption is never read, whatever it holds", u"select,1\r\nfrom,2\r\n"_s, {{u"from"_s, 2}}},
        {"caption only", u"KEYWORD,COLOR_NO\r\n"_s, {}},
        {"caption without line end", u"KEYWORD,COLOR_NO"_s, {}},
        {"empty lines are skipped",
         u"h\r\n\r\nselect,1\r\n\r\n\r\nfrom,2\r\n"_s,
         {{u"select"_s, 1}, {u"from"_s, 2}}},
        {"LF-only file is one line: the caption", u"h\nselect,1\nfrom,2\n"_s, {}},
        {"a lone CR or LF stays inside the line",
         u"h\r\na\rb,1\r\nc\nd,2"_s,
         {{u"a\rb"_s, 1}, {u"c\nd"_s, 2}}},
        {"two-word keyword, blanks kept",
         u"h\r\norder by,1\r\n group ,2"_s,
         {{u"order by"_s, 1}, {u" group "_s, 2}}},
        {"further fields are ignored", u"h\r\nselect,1,statement,x"_s, {{u"select"_s, 1}}},
        {"quoted keyword may hold a comma", u"h\r\n\",\",2"_s, {{u","_s, 2}}},
        {"blanks around the class number",
         u"h\r\nselect, 2 \r\nfrom,+3"_s,
         {{u"select"_s, 2}, {u"from"_s, 3}}},
        {"fractions round half to even",
         u"h\r\na,1.5\r\nb,2.5\r\nc,2.51"_s,
         {{u"a"_s, 2}, {u"b"_s, 2}, {u"c"_s, 3}}},
        {"classes outside 1 to 3 are kept",
         u"h\r\na,0\r\nb,4\r\nc,-7\r\nd,32767\r\ne,-32768"_s,
         {{u"a"_s, 0}, {u"b"_s, 4}, {u"c"_s, -7}, {u"d"_s, 32767}, {u"e"_s, -32768}}},
        {"duplicates stay in file order",
         u"h\r\nselect,1\r\nSELECT,2"_s,
         {{u"select"_s, 1}, {u"SELECT"_s, 2}}},
        {"an empty keyword is skipped", u"h\r\n,1\r\n,2,x\r\nfrom,1"_s, {{u"from"_s, 1}}},
        {"Japanese keyword", u"h\r\n選択,2"_s, {{u"選択"_s, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseKeywordTable(c.text), c.table);
    }
}

TEST(ParseKeywordTable, FailsTheWholeLoadOnABadRecord) {
    const struct {
        const char* name;
        QString text;
        int number;
    } cases[] = {
        {"record without a comma", u"h\r\nselect,1\r\nfrom"_s, err::SubscriptOutOfRange},
        {"record with a final comma only", u"h\r\nselect,"_s, err::SubscriptOutOfRange},
        {"a lone comma", u"h\r\n,"_s, err::SubscriptOutOfRange},
        {"class is a letter", u"h\r\nselect,a"_s, err::TypeMismatch},
        {"class is empty", u"h\r\nselect,,1"_s, err::TypeMismatch},
        {"class is blanks", u"h\r\nselect, "_s, err::TypeMismatch},
        {"class with a unit", u"h\r\nselect,1px"_s, err::TypeMismatch},
        {"empty keyword, class still checked", u"h\r\n,x"_s, err::TypeMismatch},
        {"class above 16 bits", u"h\r\nselect,32768"_s, err::Overflow},
        {"class below 16 bits", u"h\r\nselect,-32769"_s, err::Overflow},
        {"class rounds above 16 bits", u"h\r\nselect,32767.5"_s, err::Overflow},
        {"class above 32 bits", u"h\r\nselect,99999999999"_s, err::Overflow},
        {"more than 32,767 fields", u"h\r\nx,1"_s + QString(32767, u','), err::Overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseError(c.text), c.number);
    }
}

} // namespace
