// The fast passes against the plain implementation, over generated texts and
// tables chosen to meet each other in awkward ways.
#include "colour/colour_passes.h"
#include "colour/keyword_file.h"
#include "colour/keyword_table.h"
#include "naive_colouriser.h"
#include "qt_print.h"
#include "core/error.h"
#include "sql_script_generator.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>

using namespace brindle;
using namespace Qt::StringLiterals;

namespace {

// Text pieces: SQL, RTF control words, switches and their parts, delimiters,
// comment markers, Japanese, escapes and line breaks.
const std::array kTextPieces = {
    u"select"_s,   u"SELECT"_s,     u"Select"_s, u"from"_s,       u"where"_s,    u"sel"_s,
    u"selected"_s, u"a"_s,          u"b"_s,      u"aa"_s,         u"ab"_s,       u"ba"_s,
    u" "_s,        u"  "_s,         u"\u3000"_s, u"\\"_s,         u"\\par "_s,   u"\\par"_s,
    u"\\tab "_s,   u"\\tab"_s,      u"\\cf1 "_s, u"\\cf0 "_s,     u"\\cf4 "_s,   u"\\cf2"_s,
    u"\\cf"_s,     u"cf0"_s,        u"f1 "_s,    u"0 "_s,         u"1"_s,        u"--"_s,
    u"-"_s,        u"/*"_s,         u"*/"_s,     u"/"_s,          u"*"_s,        u"("_s,
    u")"_s,        u","_s,          u"'"_s,      u"\""_s,         u";"_s,        u"日本"_s,
    u"語"_s,       u"\\'82\\'a0"_s, u"}"_s,      u"{"_s,          u"\\{"_s,      u"\\}"_s,
    u"\r\n"_s,     u"\r"_s,         u"\n"_s,     u"x y"_s,        u"order by"_s, u"\\f0 "_s,
    u"\\fs20 "_s,  u"colortbl"_s,   u"red0"_s,   u"."_s,          u"\t"_s,       u"İ"_s,
    u"\u212A"_s,   u"k"_s,          u"ß"_s,      u"\U0001D400"_s,
};

const std::array kKeywords = {
    u"select"_s,
    u"SELECT"_s,
    u"from"_s,
    u"sel"_s,
    u"ect"_s,
    u"a"_s,
    u"b"_s,
    u"aa"_s,
    u"ab"_s,
    u"a a"_s,
    u"b a"_s,
    u"x y"_s,
    u"order by"_s,
    u"cf1"_s,
    u"cf0"_s,
    u"cf"_s,
    u"f"_s,
    u"0"_s,
    u"1"_s,
    u"0 "_s,
    u"f0"_s,
    u"\\"_s,
    u"\\par"_s,
    u"par"_s,
    u"par "_s,
    u"\\par "_s,
    u"-"_s,
    u"--"_s,
    u"/*"_s,
    u"*/"_s,
    u"a--b"_s,
    u"a/*"_s,
    u"日本"_s,
    u"本"_s,
    u"語"_s,
    u"\\'82"_s,
    u"}"_s,
    u"{"_s,
    u"{{"_s,
    u")"_s,
    u"("_s,
    u"colortbl"_s,
    u"red0"_s,
    u"blue255"_s,
    u" "_s,
    u"\u3000"_s,
    u"a\u3000b"_s,
    u"\\cf1 "_s,
    u"select from"_s,
    u"ß"_s,
    u"i"_s,
    u"k"_s,
    u"a "_s,
    u" a"_s,
    u"aa "_s,
    u"a b"_s,
    u"\\f0"_s,
    u"tab"_s,
    u"rtf1"_s,
    u"f1 x"_s,
    // Reaching into the switches that earlier entries insert.
    u"a\\cf0"_s,
    u"\u3000\\cf1"_s,
    u"\\cf0 \u3000"_s,
    u"t\\cf0 "_s,
    u"\\cf1 s"_s,
    u"a\\cf0 b"_s,
};

class Generator {
public:
    explicit Generator(unsigned seed) : m_rng(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    QString Rtf() {
        QString rtf;
        const int shape = Below(10);
        if (shape < 8) {
            rtf = u"{\\rtf1\\ansi\\f0 "_s;
        } else if (shape == 8) {
            rtf = u"{"_s;
        }
        for (int i = Below(40); i > 0; --i) {
            rtf += kTextPieces[std::size_t(Below(int(kTextPieces.size())))];
        }
        if (Below(5) != 0) {
            rtf += u"\\par }"_s;
        }
        return rtf;
    }

    QString RandomWord() {
        static const QString alphabet = u"ab \u3000\\cf01-/*}"_s;
        QString word;
        for (int i = 1 + Below(4); i > 0; --i) {
            word += alphabet[Below(int(alphabet.size()))];
        }
        return word;
    }

    KeywordTable Table() {
        KeywordTable table;
        for (int i = Below(8); i >= 0; --i) {
            QString keyword =
                Below(4) == 0 ? RandomWord() : kKeywords[std::size_t(Below(int(kKeywords.size())))];
            const auto colorNo = qint16(Below(7) - 1);
            table.push_back({keyword, colorNo});
            if (Below(6) == 0) { // the same word again, perhaps in capitals, another class
                table.push_back({Below(2) ? keyword.toUpper() : keyword, qint16(Below(4))});
            }
        }
        return table;
    }

    qint16 TabSpaceNum() { return qint16(Below(10) - 1); }

private:
    std::mt19937 m_rng;
};

QString Describe(const KeywordTable& table, const QString& rtf) {
    QString text = u"table:"_s;
    for (const KeywordColor& entry : table) {
        text += u" [" + entry.Keyword + u"]," + QString::number(entry.ColorNo);
    }
    return text + u"\nrtf: [" + rtf + u']';
}

// The fast pipeline of CColor after loading, with the given keyword method.
std::optional<QString> FastCColor(const QString& rtf, const KeywordTable& table, qint16 tab,
                                  colour::KeywordMethod method) {
    const QString text = colour::RemoveColors(colour::FlattenRtf(rtf, tab));
    try {
        return colour::ColorKeywords(text, table, method);
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), err::SubscriptOutOfRange);
        return std::nullopt;
    }
}

TEST(ColourDifferential, FastPassesGiveThePlainResult) {
    for (unsigned seed = 1; seed <= 6000; ++seed) {
        Generator gen(seed);
        const QString rtf = gen.Rtf();
        const KeywordTable table = gen.Table();
        const qint16 tab = gen.TabSpaceNum();
        const std::optional<QString> expected = naive::CColor(rtf, table, tab);
        const std::optional<QString> planned =
            FastCColor(rtf, table, tab, colour::KeywordMethod::Planned);
        const std::optional<QString> entryByEntry =
            FastCColor(rtf, table, tab, colour::KeywordMethod::EntryByEntry);
        if (planned != expected || entryByEntry != expected) {
            ADD_FAILURE() << "seed " << seed << "\n" << Describe(table, rtf).toStdString();
            EXPECT_EQ(planned, expected);
            EXPECT_EQ(entryByEntry, expected);
            return;
        }
    }
}

TEST(ColourDifferential, EachPassGivesThePlainResult) {
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        Generator gen(seed + 100000);
        const QString text = gen.Rtf();
        const qint16 tab = gen.TabSpaceNum();
        SCOPED_TRACE(seed);
        ASSERT_EQ(colour::FlattenRtf(text, tab), naive::FlattenRtf(text, tab));
        ASSERT_EQ(colour::RemoveColors(text), naive::RemoveColors(text));
        ASSERT_EQ(colour::ColorComments(text), naive::ColorComments(text));
    }
}

TEST(ColourDifferential, ShippedTableOnAGeneratedScript) {
    const KeywordTable table =
        ParseKeywordTable(ReadKeywordFileText(QStringLiteral(BRINDLE_SHIPPED_KEYWORDS)));
    ASSERT_GT(table.size(), 100u);
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        const QString rtf = test::GenerateSqlRtf(150, seed);
        const std::optional<QString> expected = naive::CColor(rtf, table);
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(FastCColor(rtf, table, 4, colour::KeywordMethod::Planned), expected);
        EXPECT_EQ(FastCColor(rtf, table, 4, colour::KeywordMethod::EntryByEntry), expected);
    }
}

TEST(ColourDifferential, ShortTextsOverASmallAlphabet) {
    // Few distinct characters make keywords meet each other, the switches
    // and the end of the text far more often than real SQL does.
    static const QString alphabet = u"aab \u3000\\}cf01"_s;
    std::mt19937 rng(20240607);
    const auto below = [&](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(rng);
    };
    const auto word = [&](int maxLength) {
        QString w;
        for (int i = below(maxLength + 1); i > 0; --i) {
            w += alphabet[below(int(alphabet.size()))];
        }
        return w;
    };
    for (int round = 0; round < 20000; ++round) {
        const QString rtf = u'{' + word(14);
        KeywordTable table;
        for (int i = 1 + below(5); i > 0; --i) {
            table.push_back({word(3), qint16(below(5))});
        }
        const std::optional<QString> expected = naive::CColor(rtf, table);
        const std::optional<QString> planned =
            FastCColor(rtf, table, 4, colour::KeywordMethod::Planned);
        const std::optional<QString> entryByEntry =
            FastCColor(rtf, table, 4, colour::KeywordMethod::EntryByEntry);
        if (planned != expected || entryByEntry != expected) {
            ADD_FAILURE() << "round " << round << "\n" << Describe(table, rtf).toStdString();
            EXPECT_EQ(planned, expected);
            EXPECT_EQ(entryByEntry, expected);
            return;
        }
    }
}

TEST(ColourDifferential, HandPickedMeetingsGiveTheStatedText) {
    // Meetings random texts hardly ever produce. The search of an entry
    // starts only before the last character of the text as it stood when the
    // entry began, and switches that earlier entries put at the end move that
    // character; a keyword with a backslash can reach into an earlier switch.
    const QString prefix = u'{' + colour::kColourTable;
    const struct {
        const char* name;
        QString rtf;
        KeywordTable table;
        QString coloured;
    } cases[] = {
        {"resuming on the last character ends the search",
         u"{ \u3000\u3000"_s,
         {{u"\u3000"_s, 1}},
         u" \\cf1 \u3000\\cf0 \u3000"_s},
        {"a switch after it lets the search go on",
         u"{ \u3000\u3000"_s,
         {{u"\u3000"_s, 1}, {u"\u3000"_s, 2}},
         u" \\cf1 \\cf2 \u3000\\cf0 \\cf0 \\cf2 \u3000\\cf0 "_s},
        {"a switch before it, after a miss",
         u"{ \u3000a\u3000"_s,
         {{u"\u3000a"_s, 1}, {u"\u3000"_s, 2}},
         u" \\cf1 \u3000a\\cf0 \\cf2 \u3000\\cf0 "_s},
        {"a keyword that reaches into an earlier switch",
         u"{ a b}"_s,
         {{u"a"_s, 1}, {u"a\\cf0"_s, 2}},
         u" \\cf1 \\cf2 a\\cf0\\cf0   b}"_s},
        {"a switch at the very end",
         u"{ ba a"_s,
         {{u"ba a"_s, 1}, {u"a"_s, 2}},
         u" \\cf1 ba \\cf2 a\\cf0 \\cf0 "_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(naive::CColor(c.rtf, c.table), prefix + c.coloured);
        EXPECT_EQ(FastCColor(c.rtf, c.table, 4, colour::KeywordMethod::Planned),
                  prefix + c.coloured);
        EXPECT_EQ(FastCColor(c.rtf, c.table, 4, colour::KeywordMethod::EntryByEntry),
                  prefix + c.coloured);
    }
}

TEST(ColourDifferential, RunsOfPlannedEntriesAroundOthers) {
    // Planned runs broken by entries that must see the written text, in
    // every order, over a text that holds all of them.
    const QString rtf = u"{\\rtf1\\ansi\\f0 select a\\par from b where\\par c\\cf1 x "
                        u"select\\par 0 from -- a\\par /* b */ select}"_s;
    const std::array<KeywordColor, 6> entries = {{{u"select"_s, 1},
                                                  {u"cf0"_s, 2},
                                                  {u"from"_s, 3},
                                                  {u"\\par"_s, 1},
                                                  {u"where"_s, 2},
                                                  {u"0 "_s, 3}}};
    std::array<int, 6> order = {0, 1, 2, 3, 4, 5};
    do {
        KeywordTable table;
        for (int i : order) {
            table.push_back(entries[std::size_t(i)]);
        }
        ASSERT_EQ(FastCColor(rtf, table, 4, colour::KeywordMethod::Planned),
                  naive::CColor(rtf, table))
            << Describe(table, rtf).toStdString();
    } while (std::next_permutation(order.begin(), order.end()));
}

} // namespace
