#include "editor/rtf_document.h"

#include <gtest/gtest.h>

#include <QString>

#include <ostream>
#include <random>
#include <string_view>

// Readable failure messages for QString comparisons.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace brindle::rtf {
namespace {

const QString kGothic = QStringLiteral(u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF");

QString Str(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// The control's RTF for `body` in the default font and size.
QString Doc(std::u16string_view body) {
    return u"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 " + kGothic + u";}}\\f0\\fs20 " + Str(body) + u'}';
}

struct WriteCase {
    const char* name;
    std::u16string_view text;
    std::u16string_view body;
};

TEST(WriteRtf, WritesTheControlsExactForm) {
    const WriteCase cases[] = {
        {"empty text is one empty paragraph", u"", uR"(\par )"},
        {"one line", u"select 1", uR"(select 1\par )"},
        {"several lines", u"select *\nfrom t\nwhere 1", uR"(select *\par from t\par where 1\par )"},
        {"empty lines between", u"a\n\nb", uR"(a\par \par b\par )"},
        {"trailing empty paragraph", u"a\n", uR"(a\par \par )"},
        {"only a line break", u"\n", uR"(\par \par )"},
        {"tab keeps its blank", u"a\tb\t", uR"(a\tab b\tab \par )"},
        {"tab before digits", u"\t12", uR"(\tab 12\par )"},
        {"braces", u"{x}", uR"(\{x\}\par )"},
        {"backslash", uR"(c:\temp\)", uR"(c:\\temp\\\par )"},
        {"text that looks like a control word", uR"(\par)", uR"(\\par\par )"},
        {"leading blanks survive the delimiter", u"  x", uR"(  x\par )"},
        {"Japanese and ideographic space as typed", u"\u9078\u629E\u3000\u5217",
         u"\u9078\u629E\u3000\u5217\\par "},
        {"half-width katakana and symbols as typed", u"\uFF71\u00A5~", u"\uFF71\u00A5~\\par "},
        {"CR written as a code page byte", u"a\rb", uR"(a\'0db\par )"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WriteRtf(c.text, kGothic, 10), Doc(c.body));
    }
}

struct FontCase {
    const char* name;
    QString font;
    double points;
    std::u16string_view expected;
};

TEST(WriteRtf, WritesFontNameAndHalfPointSize) {
    const FontCase cases[] = {
        {"10 pt", QStringLiteral("Courier New"), 10,
         uR"({\rtf1\ansi\deff0{\fonttbl{\f0 Courier New;}}\f0\fs20 x\par })"},
        {"10.5 pt", QStringLiteral("Courier New"), 10.5,
         uR"({\rtf1\ansi\deff0{\fonttbl{\f0 Courier New;}}\f0\fs21 x\par })"},
        {"9.75 pt rounds to 20 half points", QStringLiteral("Courier New"), 9.75,
         uR"({\rtf1\ansi\deff0{\fonttbl{\f0 Courier New;}}\f0\fs20 x\par })"},
        {"9.7 pt rounds down", QStringLiteral("A"), 9.7,
         uR"({\rtf1\ansi\deff0{\fonttbl{\f0 A;}}\f0\fs19 x\par })"},
        {"Japanese font name", kGothic, 12,
         u"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 \uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF;}}"
         u"\\f0\\fs24 x\\par }"},
        {"braces and backslash in the name are escaped", QStringLiteral("a{b}\\c"), 10,
         uR"({\rtf1\ansi\deff0{\fonttbl{\f0 a\{b\}\\c;}}\f0\fs20 x\par })"},
        {"negative size stays a valid word", QStringLiteral("A"), -3,
         uR"({\rtf1\ansi\deff0{\fonttbl{\f0 A;}}\f0\fs1 x\par })"},
    };
    for (const FontCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WriteRtf(u"x", c.font, c.points), Str(c.expected));
    }
}

TEST(WriteRtf, LargeScriptIsWrittenWhole) {
    QString script;
    for (int i = 0; i < 10000; ++i) {
        script += u"select {col} from t\twhere a = '\\'" + QString::number(i) + u'\n';
    }
    const QString rtf = WriteRtf(script, kGothic, 10);
    EXPECT_EQ(rtf.count(u"\\par "), 10001);
    EXPECT_EQ(ReadRtf(rtf).text, script);
}

struct RoundTripCase {
    const char* name;
    std::u16string_view text;
};

TEST(RtfRoundTrip, TextComesBackUnchanged) {
    const RoundTripCase cases[] = {
        {"empty", u""},
        {"one line", u"select 1"},
        {"Japanese", u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8"},
        {"ideographic space", u"\u3000a\u3000"},
        {"tabs", u"\ta\t\tb\t"},
        {"braces", u"}{ {{}} }"},
        {"backslashes", uR"(\\ \ \par \'82 \u1)"},
        {"empty lines", u"a\n\n\nb"},
        {"trailing empty paragraph", u"a\n"},
        {"two trailing empty paragraphs", u"a\n\n"},
        {"only breaks", u"\n\n"},
        {"leading and trailing blanks", u"  a  \n  "},
        {"digits after every escape", u"\t1\n2{3}4\\5"},
        {"carriage return", u"a\rb\r"},
        {"nul character", std::u16string_view(u"a\0b", 3)},
        {"emoji", u"\U0001F600"},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = Str(c.text);
        EXPECT_EQ(ReadRtf(WriteRtf(text, kGothic, 10)).text, text);
    }
}

// Random mixes of exactly the characters the writer treats specially.
TEST(RtfRoundTrip, RandomMixesOfSpecialCharacters) {
    constexpr std::u16string_view alphabet = u"a \\{}\t\n\r\u3042\u3000;'-~*0123";
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        for (int n = length(random); n > 0; --n) {
            text += QChar(alphabet[pick(random)]);
        }
        const QString back = ReadRtf(WriteRtf(text, kGothic, 10)).text;
        if (back != text) {
            ADD_FAILURE() << "round " << round << ": " << text.toStdString();
            break;
        }
    }
}

struct PlainCase {
    const char* name;
    std::u16string_view plain;
    std::u16string_view paragraphs;
};

TEST(PlainText, EveryLineEndEndsAParagraph) {
    const PlainCase cases[] = {
        {"CR LF", u"a\r\nb\r\n", u"a\nb\n"},   {"lone LF", u"a\nb", u"a\nb"},
        {"lone CR", u"a\rb\r", u"a\nb\n"},     {"LF CR is two breaks", u"a\n\rb", u"a\n\nb"},
        {"CR CR LF", u"a\r\r\nb", u"a\n\nb"},  {"mixed", u"1\r\n2\r3\n4", u"1\n2\n3\n4"},
        {"no line end", u"\u3042", u"\u3042"}, {"empty", u"", u""},
    };
    for (const PlainCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParagraphsFromPlain(c.plain), Str(c.paragraphs));
    }
}

TEST(PlainText, ParagraphsJoinWithCrLf) {
    const PlainCase cases[] = {
        {"two paragraphs", u"a\r\nb", u"a\nb"},
        {"empty paragraphs", u"\r\n\r\n", u"\n\n"},
        {"no break", u"a", u"a"},
    };
    for (const PlainCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlainFromParagraphs(c.paragraphs), Str(c.plain));
        EXPECT_EQ(ParagraphsFromPlain(PlainFromParagraphs(c.paragraphs)), Str(c.paragraphs));
    }
}

} // namespace
} // namespace brindle::rtf
