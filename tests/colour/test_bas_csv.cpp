#include "colour/bas_csv.h"
#include "qt_print.h"
#include "core/error.h"

#include <gtest/gtest.h>

using namespace brindle;
using namespace Qt::StringLiterals;

namespace {

struct CsvCase {
    const char16_t* line;
    QStringList fields;
};

class SplitCsvLineTable : public ::testing::TestWithParam<CsvCase> {};

TEST_P(SplitCsvLineTable, YieldsTheFields) {
    const CsvCase& c = GetParam();
    EXPECT_EQ(SplitCsvLine(QStringView(c.line)), c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCsvLineTable,
    ::testing::Values(CsvCase{u"", {u""_s}}, CsvCase{u"a,b", {u"a"_s, u"b"_s}},
                      CsvCase{u"a,,b", {u"a"_s, u""_s, u"b"_s}}, CsvCase{u",a", {u""_s, u"a"_s}},
                      CsvCase{u"a,", {u"a"_s}}, CsvCase{u"a,,", {u"a"_s, u""_s}},
                      CsvCase{u" a , b ", {u" a "_s, u" b "_s}},
                      CsvCase{u"\"x,y\",z", {u"x,y"_s, u"z"_s}}, CsvCase{u"\"a\"", {u"a"_s}},
                      CsvCase{u"\"a\",", {u"a"_s}},
                      CsvCase{u"\"a\"\"b\",c", {u"a"_s, u"b\""_s, u"c"_s}},
                      CsvCase{u"\"\",x", {u"\"\""_s, u"x"_s}}, CsvCase{u"\"abc", {u"\"abc"_s}},
                      CsvCase{u"\"ab\"c,d", {u"ab"_s, u""_s, u"d"_s}},
                      CsvCase{u"\"ab\"cd,e", {u"ab"_s, u"d"_s, u"e"_s}},
                      // Further cases around the quote rules.
                      CsvCase{u"\"", {u"\""_s}}, CsvCase{u"\"\"", {u"\"\""_s}},
                      CsvCase{u"\"\"\"", {u"\""_s}},           // the third quote closes: p + 2
                      CsvCase{u"a\"b,c", {u"a\"b"_s, u"c"_s}}, // a quote inside a field is plain
                      CsvCase{u"\"a,b", {u"\"a"_s, u"b"_s}},   // unclosed: the comma still splits
                      CsvCase{u"select,1", {u"select"_s, u"1"_s}},
                      CsvCase{u"order by,1,note", {u"order by"_s, u"1"_s, u"note"_s}},
                      CsvCase{u"選択,2", {u"選択"_s, u"2"_s}}, CsvCase{u",", {u""_s}},
                      CsvCase{u",,", {u""_s, u""_s}}));

TEST(SplitCsvLine, CountsFieldsInSixteenBits) {
    // 32,767 fields are the most a line may have.
    const QString most = QString(32766, u',') + u'x';
    const QStringList fields = SplitCsvLine(most);
    EXPECT_EQ(fields.size(), 32767);
    EXPECT_EQ(fields.back(), u"x");

    const QString tooMany = QString(32767, u',') + u'x';
    try {
        SplitCsvLine(tooMany);
        FAIL() << "no overflow";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), err::Overflow);
    }
}

TEST(SplitCsvLine, QuotedFieldsDoNotScanTheRestOfTheLine) {
    // Quoted fields without commas ahead of a long tail: looking for the
    // next comma for every field once made this line quadratic.
    const QString line = QStringLiteral("\"a\"b").repeated(32000) + QString(4'000'000, u'x');
    const QStringList fields = SplitCsvLine(line);
    ASSERT_EQ(fields.size(), 32001);
    EXPECT_EQ(fields.front(), u"a");
    EXPECT_EQ(fields[31999], u"a");
    EXPECT_EQ(fields.back().size(), 4'000'000);
}

} // namespace
