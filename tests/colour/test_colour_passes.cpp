#include "colour/colour_passes.h"
#include "colour/lower_text.h"
#include "colour/switch_plan.h"
#include "qt_print.h"
#include "core/error.h"

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::colour;
using namespace Qt::StringLiterals;

namespace {

TEST(FlattenRtf, DropsLineBreaksBeforeReplacingTabs) {
    const struct {
        QString rtf;
        qint16 tabSpaceNum;
        QString flat;
    } cases[] = {
        {u"a\r\nb\rc\nd\n\re"_s, 4, u"abcde"_s},
        {u"\\tab x"_s, 4, u"    x"_s},
        {u"\\ta\r\nb x"_s, 4, u"    x"_s}, // the break inside the word goes first
        {u"\\TAB x"_s, 4, u"\\TAB x"_s},   // exact case only
        {u"\\tabx"_s, 3, u"  x"_s},        // also the start of a longer word
        {u"\\tab\\tab "_s, 2, u"   "_s},
        {u"\\tab "_s, 1, u" "_s},
        {u"\\tab "_s, -32768, u" "_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf.toStdString());
        EXPECT_EQ(FlattenRtf(c.rtf, c.tabSpaceNum), c.flat);
    }
}

TEST(RemoveColors, DropsSwitchesWithTheirBlankInOrder) {
    const struct {
        QString text;
        QString plain;
    } cases[] = {
        {u"\\cf1 select\\cf0  a"_s, u"select a"_s},
        {u"\\cf0\\cf1x\\cf5 \\CF1 "_s, u"\\cf0\\cf1x\\cf5 \\CF1 "_s}, // no blank, 5, capitals
        {u"\\cf\\cf0 1 x"_s, u"x"_s},       // removing \cf0 makes a \cf1 that goes next
        {u"\\cf\\cf1 0 x"_s, u"\\cf0 x"_s}, // a \cf0 made later stays
        {u"\\cf4 -- a\\cf0 "_s, u"-- a"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(RemoveColors(c.text), c.plain);
    }
}

TEST(ColorKeywords, FailsOnAnEmptyTable) {
    try {
        ColorKeywords(u"{\\rtf1 x}"_s, {});
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), err::SubscriptOutOfRange);
    }
}

TEST(CanMatchInsideSwitches, FlagsKeywordsThatCanTouchASwitch) {
    const struct {
        QString keyword;
        bool touches;
    } cases[] = {
        {u"select"_s, false}, {u"from"_s, false},     {u"order by"_s, false}, {u"f"_s, true},
        {u"cf"_s, true},      {u"cf3"_s, true},       {u"1"_s, true},         {u"5"_s, false},
        {u" "_s, true},       {u" x"_s, true},        {u"x "_s, false},       {u"0 x"_s, true},
        {u"f2 y"_s, true},    {u"cf0 a"_s, true},     {u"f5"_s, false},       {u"a\\b"_s, true},
        {u"\\par"_s, true},   {u"colortbl"_s, false}, {u"選択"_s, false},     {u"c f"_s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyword.toStdString());
        EXPECT_EQ(CanMatchInsideSwitches(c.keyword), c.touches);
    }
}

TEST(LowerPerChar, KeepsTheLength) {
    // İ, whose lower case is two units, stays; ß stays; the Kelvin sign
    // becomes k; a surrogate pair stays as it is.
    const QString text = u"SELECT İß\u212A Ａ\U0001D400"_s;
    const QString lowered = LowerPerChar(text);
    ASSERT_EQ(lowered.size(), text.size());
    EXPECT_EQ(lowered, u"select İß\u006B ａ\U0001D400"_s);
}

} // namespace
