#include "core/error.h"
#include "core/numeric_text.h"

#include <gtest/gtest.h>

using namespace brindle;

TEST(NumericText, RecognisesDecimalNumbersOnly) {
    const struct {
        const char16_t* text;
        bool numeric;
    } cases[] = {
        {u"0", true},     {u"-12", true},   {u"+7", true},     {u"9.75", true},   {u".5", true},
        {u"5.", true},    {u" 42 ", true},  {u"1e3", true},    {u"1.5E-2", true}, {u"", false},
        {u" ", false},    {u"abc", false},  {u"12abc", false}, {u"1,000", false}, {u"--1", false},
        {u"0x10", false}, {u"１２", false}, // full-width digits are text, not a number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(IsNumericText(QString::fromUtf16(c.text)), c.numeric);
    }
}

TEST(NumericText, RoundsHalfToEven) {
    const struct {
        const char16_t* text;
        qint32 whole;
    } cases[] = {
        {u"9.75", 10},
        {u"10.5", 10},
        {u"11.5", 12},
        {u"-2.5", -2},
        {u"-3.5", -4},
        {u"0.4999", 0},
        {u"6000", 6000},
        {u" 30 ", 30},
        {u"1e3", 1000},
        {u"2147483647", 2147483647},
        {u"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(ToWholeNumber(QString::fromUtf16(c.text)), c.whole);
    }
}

TEST(NumericText, FailsWithTheRightErrorNumber) {
    try {
        ToWholeNumber(u"abc");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
    }
    for (const char16_t* big : {u"2147483648", u"-2147483649", u"1e300"}) {
        try {
            ToWholeNumber(QString::fromUtf16(big));
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::Overflow);
        }
    }
}

TEST(NumericText, FallbackOnlyForTextThatIsNotNumeric) {
    EXPECT_EQ(WholeNumberOr(u"abc", 30), 30);
    EXPECT_EQ(WholeNumberOr(u"", 10), 10);
    EXPECT_EQ(WholeNumberOr(u"7.5", 30), 8);
    EXPECT_THROW(WholeNumberOr(u"1e20", 30), Error);
}

TEST(NumericText, BooleanTextsRoundTrip) {
    EXPECT_EQ(BoolText(true), QStringLiteral("True"));
    EXPECT_EQ(BoolText(false), QStringLiteral("False"));
    EXPECT_TRUE(BoolFromText(BoolText(true)));
    EXPECT_FALSE(BoolFromText(BoolText(false)));
    EXPECT_TRUE(BoolFromText(u"TRUE"));
    EXPECT_TRUE(BoolFromText(u"-1"));
    EXPECT_FALSE(BoolFromText(u"0"));
    // A damaged value must not stop a document from opening.
    EXPECT_FALSE(BoolFromText(u"garbage"));
    EXPECT_FALSE(BoolFromText(u""));
}

TEST(NumericText, SingleTextReadsBackAsTheSameNumber) {
    EXPECT_EQ(SingleText(6000), QStringLiteral("6000"));
    EXPECT_EQ(SingleText(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(SingleText(-15), QStringLiteral("-15"));
    for (double v : {0.0, 15.0, 7995.0, 123456.0, 9999999.0}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(ToWholeNumber(SingleText(v)), static_cast<qint32>(v));
    }
}
