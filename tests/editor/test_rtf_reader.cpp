#include "editor/rtf_document.h"

#include <gtest/gtest.h>

#include <QString>

#include <ostream>
#include <string_view>

// Readable failure messages for QString comparisons.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace brindle::rtf {

static void PrintTo(const ColourRun& run, std::ostream* os) {
    *os << "{start " << run.start << ", length " << run.length << ", colour " << run.colour << '}';
}

static void PrintTo(const Rgb& rgb, std::ostream* os) {
    if (rgb.isDefault) {
        *os << "default";
    } else {
        *os << "rgb(" << rgb.red << ',' << rgb.green << ',' << rgb.blue << ')';
    }
}

namespace {

QString Str(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// What every result must satisfy, whatever the input.
void ExpectWellFormed(const RtfContent& content) {
    int end = 0;
    for (const ColourRun& run : content.runs) {
        EXPECT_GE(run.start, end) << "runs overlap or are out of order";
        EXPECT_GT(run.length, 0);
        EXPECT_GT(run.colour, 0);
        EXPECT_LT(run.colour, static_cast<int>(content.colours.size()));
        end = run.start + run.length;
    }
    EXPECT_LE(end, content.text.size());
}

struct TextCase {
    const char* name;
    std::u16string_view rtf;
    std::u16string_view text;
};

void ExpectTexts(const TextCase* begin, const TextCase* end) {
    for (const TextCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(c->name);
        const RtfContent content = ReadRtf(c->rtf);
        EXPECT_EQ(content.text, Str(c->text));
        ExpectWellFormed(content);
    }
}

template <std::size_t N> void ExpectTexts(const TextCase (&cases)[N]) {
    ExpectTexts(cases, cases + N);
}

TEST(ReadRtfParagraphs, FinalParagraphMarkAddsNoBreak) {
    const TextCase cases[] = {
        {"two paragraphs", uR"({\rtf1 a\par b\par })", u"a\nb"},
        {"trailing empty paragraph", uR"({\rtf1 a\par \par })", u"a\n"},
        {"only the mark", uR"({\rtf1 \par })", u""},
        {"control words after the mark", uR"({\rtf1\cf4 x\par \cf0 })", u"x"},
        {"no mark at all", uR"({\rtf1 a\par b})", u"a\nb"},
        {"empty document", uR"({\rtf1 })", u""},
        {"line is a paragraph break", uR"({\rtf1 a\line b\line })", u"a\nb"},
        {"skipped group after the mark", uR"({\rtf1 a\par {\*\x y}})", u"a"},
        {"escaped source line break is a paragraph", u"{\\rtf1 a\\\r\nb}", u"a\nb"},
        {"raw CR and LF are ignored", u"{\\rtf1 a\r\n\rb\n}", u"ab"},
    };
    ExpectTexts(cases);
}

TEST(ReadRtfControlWords, DelimiterIsOneBlank) {
    const TextCase cases[] = {
        {"par consumes only one blank", uR"({\rtf1 a\par  b})", u"a\n b"},
        {"numeric parameter then text", uR"({\rtf1 \b0x})", u"x"},
        {"negative parameter then text", uR"({\rtf1 \fs-5x})", u"x"},
        {"hyphen without digits is text", uR"({\rtf1 \b-x})", u"-x"},
        {"unknown word and its blank vanish", uR"({\rtf1 a\qwerty  b})", u"a b"},
        {"word ends at a symbol", uR"({\rtf1 \b\{})", u"{"},
        {"tab word", uR"({\rtf1 a\tab b\tab})", u"a\tb\t"},
        {"raw tab is text", u"{\\rtf1 a\tb}", u"a\tb"},
        {"words are case sensitive", uR"({\rtf1 a\PAR b})", u"ab"},
        {"header spacing is not a header", uR"({\rtf1\headery720\footery720 body})", u"body"},
        {"typographic words", uR"({\rtf1 \lquote x\rquote\emdash\bullet})",
         u"\u2018x\u2019\u2014\u2022"},
    };
    ExpectTexts(cases);
}

TEST(ReadRtfControlWords, ControlSymbolsHaveNoDelimiter) {
    const TextCase cases[] = {
        {"escaped specials", uR"({\rtf1 \\\{\}})", uR"(\{})"},
        {"blank after a symbol is text", uR"({\rtf1 \{ x})", u"{ x"},
        {"no-break space", uR"({\rtf1 a\~b})", u"a\u00A0b"},
        {"optional hyphen is dropped", uR"({\rtf1 ab\-cd})", u"abcd"},
        {"non-breaking hyphen", uR"({\rtf1 a\_b})", u"a-b"},
        {"unknown symbols are dropped", uR"({\rtf1 a\|\:b})", u"ab"},
    };
    ExpectTexts(cases);
}

TEST(ReadRtfCodePage, HexBytesAreCodePage932) {
    const TextCase cases[] = {
        {"hiragana a", uR"({\rtf1 \'82\'a0})", u"\u3042"},
        {"upper-case hex", uR"({\rtf1 \'82\'A0})", u"\u3042"},
        {"two characters", uR"({\rtf1 \'82\'a0\'82\'a2})", u"\u3042\u3044"},
        {"bytes split by a source line break", u"{\\rtf1 \\'82\r\n\\'a0}", u"\u3042"},
        {"half-width katakana", uR"({\rtf1 \'b1})", u"\uFF71"},
        {"ASCII bytes", uR"({\rtf1 \'41\'42})", u"AB"},
        {"ideographic space", uR"({\rtf1 \'81\'40})", u"\u3000"},
        {"vendor extension", uR"({\rtf1 \'87\'40})", u"\u2460"},
        {"blank after a byte is text", uR"({\rtf1 \'82\'a0 x})", u"\u3042 x"},
        {"bytes between text", uR"({\rtf1 a\'82\'a0b})", u"a\u3042b"},
    };
    ExpectTexts(cases);
}

TEST(ReadRtfCodePage, DanglingLeadByteDoesNotSwallowText) {
    for (std::u16string_view rtf :
         {std::u16string_view(uR"({\rtf1 \'82x})"), std::u16string_view(uR"({\rtf1 \'82}x)"),
          std::u16string_view(uR"({\rtf1 \'82\par x})")}) {
        SCOPED_TRACE(QStringView(rtf).toString().toStdString());
        const QString text = ReadRtf(rtf).text;
        ASSERT_FALSE(text.isEmpty());
        EXPECT_TRUE(text.endsWith(u'x'));
        EXPECT_NE(text.front(), u'x') << "the lone byte was lost";
    }
}

TEST(ReadRtfUnicode, FallbackCharactersAreSkipped) {
    const TextCase cases[] = {
        {"default skips one", uR"({\rtf1 \u12354?x})", u"\u3042x"},
        {"blank is the delimiter, not the fallback", uR"({\rtf1 \u12354 ?x})", u"\u3042x"},
        {"uc2 skips two bytes", uR"({\rtf1\uc2 \u12354\'82\'a0x})", u"\u3042x"},
        {"uc2 skips two characters", uR"({\rtf1\uc2 \u12354??x})", u"\u3042x"},
        {"uc0 skips nothing", uR"({\rtf1\uc0 \u12354x})", u"\u3042x"},
        {"negative value", uR"({\rtf1 \u-3971?})", u"\uF07D"},
        {"surrogate pair", uR"({\rtf1 \u-10179?\u-8704?})", u"\U0001F600"},
        {"a brace ends the fallback", uR"({\rtf1 {\u12354}x})", u"\u3042x"},
        {"uc is scoped to its group", uR"({\rtf1 {\uc0}\u12354?x})", u"\u3042x"},
        {"fallback ends at text length", uR"({\rtf1\uc5 \u12354ab})", u"\u3042"},
        {"out of range value", uR"({\rtf1 \u70000?})", u"\uFFFD"},
        {"u without a number", uR"({\rtf1 \u x})", u"x"},
    };
    ExpectTexts(cases);
}

TEST(ReadRtfDestinations, NonContentGroupsAreSkipped) {
    const TextCase cases[] = {
        {"font table", uR"({\rtf1{\fonttbl{\f0\fnil MS Gothic;}{\f1 Arial;}}a})", u"a"},
        {"font table with code page bytes", uR"({\rtf1{\fonttbl{\f0 \'82\'6c\'82\'72;}}a})", u"a"},
        {"style sheet", uR"({\rtf1{\stylesheet{\s0 Normal;}}a})", u"a"},
        {"info", uR"({\rtf1{\info{\title T}{\author A}}a})", u"a"},
        {"picture", uR"({\rtf1{\pict\pngblip 89504e47}a})", u"a"},
        {"object", uR"({\rtf1{\object\objemb{\objdata 01}}a})", u"a"},
        {"headers and footers", uR"({\rtf1{\header h}{\headerl l}{\footerf f}a})", u"a"},
        {"list tables", uR"({\rtf1{\listtable{\list x}}{\listoverridetable y}a})", u"a"},
        {"generator", uR"({\rtf1{\*\generator Riched20 10.0;}a})", u"a"},
        {"starred unknown destination", uR"({\rtf1{\*\unknown text {nested}}a})", u"a"},
        {"unknown word keeps its group's text", uR"({\rtf1{\qwerty kept}})", u"kept"},
        {"binary data may hold braces", uR"({\rtf1 a{\*\blob\bin2 }{}b})", u"ab"},
        {"skipping ends with the group", uR"({\rtf1 {\fonttbl x}{y}z})", u"yz"},
    };
    ExpectTexts(cases);
}

TEST(ReadRtfDestinations, TextOutsideTheDocumentGroupIsKept) {
    const TextCase cases[] = {
        {"before and after", uR"(a{\rtf1 b}c)", u"abc"},
        {"after the final mark", uR"({\rtf1 a\par }b)", u"a\nb"},
        {"no group at all", uR"(plain \par text)", u"plain \ntext"},
        {"colour table at top level is ignored", uR"(\colortbl a)", u"a"},
    };
    ExpectTexts(cases);
}

struct ColourCase {
    const char* name;
    std::u16string_view rtf;
    std::u16string_view text;
    std::vector<ColourRun> runs;
};

constexpr std::u16string_view kTable =
    uR"({\colortbl ;\red0\green0\blue255;\red255\green0\blue0;})";

QString WithTable(std::u16string_view body) {
    return u"{\\rtf1\\ansi" + Str(kTable) + Str(body) + u'}';
}

TEST(ReadRtfColours, RunsFollowCurrentColour) {
    const ColourCase cases[] = {
        {"cf0 ends a run", uR"(\cf1 select\cf0  x)", u"select x", {{0, 6, 1}}},
        {"two colours", uR"(\cf1 ab\cf2 cd\cf0 ef)", u"abcdef", {{0, 2, 1}, {2, 2, 2}}},
        {"colour is scoped to its group", uR"(a{\cf1 b}c)", u"abc", {{1, 1, 1}}},
        {"same colour runs merge", uR"(\cf1 a\cf1 b{\cf1 c})", u"abc", {{0, 3, 1}}},
        {"index outside the table is the default",
         uR"(\cf1 a\cf9 b\cf1 c)",
         u"abc",
         {{0, 1, 1}, {2, 1, 1}}},
        {"cf without a number is the default", uR"(\cf2 a\cf b)", u"ab", {{0, 1, 2}}},
        {"negative index is the default", uR"(\cf-1 a)", u"a", {}},
        {"plain resets the colour", uR"(\cf1 a\plain b)", u"ab", {{0, 1, 1}}},
        {"escaped characters are coloured",
         uR"(\cf2 \{\tab\'82\'a0\u12354?)",
         u"{\t\u3042\u3042",
         {{0, 4, 2}}},
        {"break inside a coloured stretch", uR"(\cf1 a\par b\cf0\par )", u"a\nb", {{0, 3, 1}}},
        {"break after cf0 is uncoloured",
         uR"(\cf1 a\cf0\par \cf1 b)",
         u"a\nb",
         {{0, 1, 1}, {2, 1, 1}}},
        {"huge index", uR"(\cf99999999999999999999 a)", u"a", {}},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RtfContent content = ReadRtf(WithTable(c.rtf));
        EXPECT_EQ(content.text, Str(c.text));
        EXPECT_EQ(content.runs, c.runs);
        ExpectWellFormed(content);
    }
}

TEST(ReadRtfColours, TableBeforeTheHeader) {
    const RtfContent content =
        ReadRtf(uR"({{\colortbl ;\red0\green0\blue255;}\rtf1\ansi\f0 \cf1 select\cf0  x\par })");
    EXPECT_EQ(content.text, QStringLiteral("select x"));
    EXPECT_EQ(content.runs, (std::vector<ColourRun>{{0, 6, 1}}));
    EXPECT_EQ(content.colours, (std::vector<Rgb>{{}, {0, 0, 255, false}}));
}

struct TableCase {
    const char* name;
    std::u16string_view rtf;
    std::vector<Rgb> colours;
};

TEST(ReadRtfColours, TableEntries) {
    const Rgb none{};
    const TableCase cases[] = {
        {"default first", uR"({\rtf1{\colortbl;\red1\green2\blue3;}})", {none, {1, 2, 3, false}}},
        {"no default entry", uR"({\rtf1{\colortbl\red1\green2\blue3;}})", {{1, 2, 3, false}}},
        {"missing words are zero", uR"({\rtf1{\colortbl\blue9;}})", {{0, 0, 9, false}}},
        {"default in the middle",
         uR"({\rtf1{\colortbl\red1;;\green1;}})",
         {{1, 0, 0, false}, none, {0, 1, 0, false}}},
        {"last entry without semicolon",
         uR"({\rtf1{\colortbl;\red255})",
         {none, {255, 0, 0, false}}},
        {"components are clamped",
         uR"({\rtf1{\colortbl\red300\green-4\blue99999999999;}})",
         {{255, 0, 255, false}}},
        {"other words ignored", uR"({\rtf1{\colortbl\ctint128\red5;}})", {{5, 0, 0, false}}},
        {"no table", uR"({\rtf1 a})", {}},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RtfContent content = ReadRtf(c.rtf);
        EXPECT_EQ(content.colours, c.colours);
        EXPECT_TRUE(content.text.isEmpty() || content.text == u"a");
    }
}

QString Repeat(QStringView piece, int times) {
    QString out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

struct MalformedCase {
    const char* name;
    QString rtf;
    QString text;
};

TEST(ReadRtfMalformed, ReturnsBestEffortText) {
    const MalformedCase cases[] = {
        {"unclosed group", QStringLiteral(u"{\\rtf1 a"), QStringLiteral("a")},
        {"stray closing braces", QStringLiteral(u"}}}a"), QStringLiteral("a")},
        {"extra closing braces", QStringLiteral(u"{\\rtf1 a}}}b"), QStringLiteral("ab")},
        {"trailing backslash", QStringLiteral(u"{\\rtf1 a\\"), QStringLiteral("a")},
        {"backslash quote at the end", QStringLiteral(u"{\\rtf1 a\\'"), QStringLiteral("a")},
        {"bad hex keeps the text", QStringLiteral(u"{\\rtf1 \\'zz}"), QStringLiteral("zz")},
        {"one hex digit", QStringLiteral(u"{\\rtf1 \\'4g}"), QStringLiteral("4g")},
        {"one hex digit at the end", QStringLiteral(u"{\\rtf1 \\'4"), QStringLiteral("4")},
        {"huge unicode value", QStringLiteral(u"{\\rtf1 \\u99999999999999 ?x}"),
         QStringLiteral(u"\uFFFDx")},
        {"huge negative unicode value", QStringLiteral(u"{\\rtf1 \\u-99999999999999?}"),
         QStringLiteral(u"\uFFFD")},
        {"huge fallback count", QStringLiteral(u"{\\rtf1\\uc99999999999 \\u65 abc}"),
         QStringLiteral("A")},
        {"huge binary length", QStringLiteral(u"{\\rtf1 a\\bin99999999999 bc}"),
         QStringLiteral("a")},
        {"negative binary length", QStringLiteral(u"{\\rtf1 a\\bin-5 bc}"), QStringLiteral("abc")},
        {"int overflow parameter", QStringLiteral(u"{\\rtf1\\fs-2147483649 a\\cf2147483648 b}"),
         QStringLiteral("ab")},
        {"over-long word", u'\\' + Repeat(u"a", 100000) + u" x", QStringLiteral("x")},
        {"over-long word starting like par", u'\\' + Repeat(u"par", 20) + u" x",
         QStringLiteral("x")},
        {"over-long parameter", u"\\cf" + Repeat(u"9", 100000) + u" x", QStringLiteral("x")},
        {"100000 nested groups", Repeat(u"{", 100000) + u'x' + Repeat(u"}", 100000) + u'y',
         QStringLiteral("xy")},
        {"100000 unclosed groups", Repeat(u"{", 100000) + u'x', QStringLiteral("x")},
        {"skip deep past the depth cap ends with its group",
         u"{\\rtf1 " + Repeat(u"{", 5000) + u"\\*hidden" + Repeat(u"}", 5000) + u"shown}",
         QStringLiteral("shown")},
        {"nul characters are text", QStringView(u"{\\rtf1 a\0b}", 11).toString(),
         QStringView(u"a\0b", 3).toString()},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RtfContent content = ReadRtf(c.rtf);
        EXPECT_EQ(content.text, c.text);
        ExpectWellFormed(content);
    }
}

TEST(ReadRtfMalformed, ManyUnfinishedPiecesStayLinear) {
    // Each of these is quadratic in a naive reader; the test finishing at all
    // is the check, the text is incidental.
    const QString inputs[] = {
        Repeat(u"\\'8", 50000),           Repeat(u"\\'82", 100000), Repeat(u"\\u1\\uc9 ", 50000),
        Repeat(u"\\par ", 100000) + u'}', Repeat(u"{\\*", 50000),   Repeat(u"{\\colortbl;", 50000),
    };
    for (const QString& rtf : inputs) {
        ExpectWellFormed(ReadRtf(rtf));
    }
    EXPECT_EQ(ReadRtf(QString(Repeat(u"\\par ", 100000) + u'}')).text, Repeat(u"\n", 99999));
}

} // namespace
} // namespace brindle::rtf
