#include "core/error.h"
#include "data/split_batches.h"
#include "support/print_qt.h"
#include "test_backends.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct SplitCase {
    const char* name;
    QString text;
    QStringList batches;
};

void ExpectBatches(const std::vector<SplitCase>& cases) {
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitBatches(c.text), c.batches);
    }
}

TEST(SplitBatches, LineEndsAndBlankLines) {
    ExpectBatches({
        {"empty text: one empty batch", u""_s, {u""_s}},
        {"one line gains a CR", u"SELECT 1"_s, {u"SELECT 1\r"_s}},
        {"CR LF query GO query",
         u"SELECT 1\r\nGO\r\nSELECT 2"_s,
         {u"SELECT 1\r\r"_s, u"\rSELECT 2\r"_s}},
        {"LF line ends", u"SELECT 1\nGO\nSELECT 2"_s, {u"SELECT 1\r"_s, u"SELECT 2\r"_s}},
        {"CR line ends", u"SELECT 1\rGO\rSELECT 2"_s, {u"SELECT 1\r"_s, u"SELECT 2\r"_s}},
        {"LF CR is two line ends", u"a\n\rb"_s, {u"a\r\rb\r"_s}},
        {"blank lines stay in", u"a\n\n\nb"_s, {u"a\r\r\rb\r"_s}},
        {"a trailing LF is an empty last line", u"a\n"_s, {u"a\r\r"_s}},
        {"a lone LF", u"\n"_s, {u"\r\r"_s}},
        {"a lone CR LF", u"\r\n"_s, {u"\r\r\r"_s}},
        {"tabs and other text unchanged", u"\tSELECT 'x\ty'  "_s, {u"\tSELECT 'x\ty'  \r"_s}},
        {"Japanese text",
         u"SELECT '日本語「ｶﾀｶﾅ」～①'\r\nＧＯ"_s,
         {u"SELECT '日本語「ｶﾀｶﾅ」～①'\r\rＧＯ\r"_s}},
    });
}

TEST(SplitBatches, WhatCountsAsAGoLine) {
    ExpectBatches({
        {"GO", u"a\nGO\nb"_s, {u"a\r"_s, u"b\r"_s}},
        {"go", u"a\ngo\nb"_s, {u"a\r"_s, u"b\r"_s}},
        {"Go", u"a\nGo\nb"_s, {u"a\r"_s, u"b\r"_s}},
        {"gO", u"a\ngO\nb"_s, {u"a\r"_s, u"b\r"_s}},
        {"spaces around", u"a\n   GO  \nb"_s, {u"a\r"_s, u"b\r"_s}},
        {"GO with a semicolon", u"a\nGO;\nb"_s, {u"a\rGO;\rb\r"_s}},
        {"GO and a number", u"a\nGO 2\nb"_s, {u"a\rGO 2\rb\r"_s}},
        {"GO after two hyphens", u"a\n--GO\nb"_s, {u"a\r--GO\rb\r"_s}},
        {"a tab before GO", u"a\n\tGO\nb"_s, {u"a\r\tGO\rb\r"_s}},
        {"a tab after GO", u"a\nGO\t\nb"_s, {u"a\rGO\t\rb\r"_s}},
        {"an ideographic space", u"a\n\u3000GO\nb"_s, {u"a\r\u3000GO\rb\r"_s}},
        {"full-width letters", u"a\nｇｏ\nb"_s, {u"a\rｇｏ\rb\r"_s}},
        {"GO inside a line", u"SELECT 1 GO"_s, {u"SELECT 1 GO\r"_s}},
        {"a space inside", u"G O"_s, {u"G O\r"_s}},
        {"GOGO", u"GOGO"_s, {u"GOGO\r"_s}},
        {"one letter", u"G"_s, {u"G\r"_s}},
    });
}

TEST(SplitBatches, WhereTheGoLinesStand) {
    ExpectBatches({
        {"GO alone: two empty batches", u"GO"_s, {u""_s, u""_s}},
        {"GO first", u"GO\nSELECT 1"_s, {u""_s, u"SELECT 1\r"_s}},
        {"GO GO", u"GO\nGO"_s, {u""_s, u""_s, u""_s}},
        {"trailing GO, no line break", u"SELECT 1\r\nGO"_s, {u"SELECT 1\r\r"_s, u""_s}},
        {"trailing GO and CR LF", u"SELECT 1\r\nGO\r\n"_s, {u"SELECT 1\r\r"_s, u"\r\r"_s}},
        {"trailing GO and LF", u"SELECT 1\nGO\n"_s, {u"SELECT 1\r"_s, u"\r"_s}},
        {"trailing GO and CR", u"SELECT 1\rGO\r"_s, {u"SELECT 1\r"_s, u"\r"_s}},
        {"three batches", u"a\nGO\nb\nGO\nc"_s, {u"a\r"_s, u"b\r"_s, u"c\r"_s}},
    });
}

// Exactly the steps as written out: LF to CR, split at CR, upper case and trim
// spaces for the GO test, concatenate.
QStringList PlainSplit(QString text) {
    text.replace(u'\n', u'\r');
    QStringList batches;
    QString current;
    if (!text.isEmpty()) {
        const QStringList pieces = text.split(u'\r');
        for (const QString& piece : pieces) {
            QString test = piece.toUpper();
            while (test.startsWith(u' '))
                test.remove(0, 1);
            while (test.endsWith(u' '))
                test.chop(1);
            if (test == u"GO"_s) {
                batches.append(current);
                current.clear();
            } else {
                current = current + piece + u'\r';
            }
        }
    }
    batches.append(current);
    return batches;
}

TEST(SplitBatches, AgreesWithThePlainStepsOnRandomTexts) {
    const QString alphabet = u"gGoO  \t\r\n;x-ｇＯ\u3000ßı日"_s;
    std::mt19937 random(20240601);
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 5000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[pick(random)];
        const QStringList batches = SplitBatches(text);
        ASSERT_EQ(batches, PlainSplit(text)) << "text: " << text.toStdString();
        for (const QString& batch : batches)
            ASSERT_TRUE(batch.isEmpty() || batch.endsWith(u'\r')) << text.toStdString();
    }
}

TEST(SplitBatches, PieceAndBatchCountsAreBoundedBy16Bits) {
    struct Bound {
        const char* name;
        QString text;
        bool overflows;
        qsizetype batches;
    };
    const Bound bounds[] = {
        {"32767 LF pieces", u"x\n"_s.repeated(32766) + u'x', false, 1},
        {"32768 LF pieces", u"x\n"_s.repeated(32767) + u'x', true, 0},
        {"32767 pieces from CR LF lines", u"x\r\n"_s.repeated(16383), false, 1},
        {"32769 pieces from CR LF lines", u"x\r\n"_s.repeated(16384), true, 0},
        {"32767 pieces, the last GO", u"x\n"_s.repeated(32766) + u"GO"_s, false, 2},
        {"32766 GO lines: 32767 batches", u"GO\n"_s.repeated(32766) + u'x', false, 32767},
        {"32767 GO lines: 32768 batches", u"GO\n"_s.repeated(32766) + u"GO"_s, true, 0},
    };
    for (const Bound& b : bounds) {
        SCOPED_TRACE(b.name);
        QStringList batches;
        const Thrown thrown = ErrorOf([&] { batches = SplitBatches(b.text); });
        if (b.overflows) {
            EXPECT_EQ(thrown.number, err::Overflow);
            EXPECT_EQ(thrown.description, u"オーバーフローしました。"_s);
        } else {
            EXPECT_EQ(thrown.number, 0) << thrown.description.toStdString();
            EXPECT_EQ(batches.size(), b.batches);
        }
    }
}

TEST(SplitBatches, TenMegabyteScriptStaysOneWholeBatch) {
    // One batch of 16,000 long lines (its speed is measured by the fuzz
    // target's time limit, not here): nothing lost or doubled.
    const QString line = u"SELECT '日本語' AS a, 12345 AS b FROM t WHERE x = 1 -- "_s.repeated(13);
    const QString script = QString(line + u"\r\n"_s).repeated(16000);
    ASSERT_GT(script.size(), 10'000'000);
    const QStringList batches = SplitBatches(script);
    ASSERT_EQ(batches.size(), 1);
    EXPECT_EQ(batches[0].size(), script.size() + 1);
}

// What the text at a place reads as once its line ends are a batch's: LF
// turned into CR; the batch itself then only has one CR more at its end.
void ExpectPlacesSpanTheirBatches(const QString& text) {
    const QStringList batches = SplitBatches(text);
    const std::vector<BatchPlace> places = SplitBatchPlaces(text);
    ASSERT_EQ(places.size(), static_cast<std::size_t>(batches.size()));
    qsizetype after = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const BatchPlace& place = places[i];
        ASSERT_GE(place.start, after) << "in order, not overlapping: " << text.toStdString();
        ASSERT_LE(place.start + place.length, text.size());
        after = place.start + place.length;
        QString spanned = text.mid(place.start, place.length);
        spanned.replace(u'\n', u'\r');
        QString batch = batches[static_cast<qsizetype>(i)];
        if (batch.endsWith(u'\r'))
            batch.chop(1);
        ASSERT_EQ(spanned, batch) << "batch " << i << " of " << text.toStdString();
    }
}

TEST(SplitBatchPlaces, EachPlaceSpansTheTextOfItsBatch) {
    const QString texts[] = {
        u""_s,
        u"SELECT 1"_s,
        u"SELECT 1\nGO\nSELECT 2"_s,
        u"SELECT 1\r\nGO\r\nSELECT 2\r\n"_s,
        u"SELECT 1\rGO\rSELECT 2\r"_s,
        u"a\n  go  \nb\n\tGO\nc\nGo;\nd"_s,
        u"GO\nGO\r\nGO\rGO"_s,
        u"GO\na"_s,
        u"a\r\n\r\n\r\nGO"_s,
        u"a\nGO\n"_s,
        u"\r\n"_s,
    };
    for (const QString& text : texts)
        ExpectPlacesSpanTheirBatches(text);

    const QString alphabet = u"gGoO  \t\r\n;x-ｇＯ日"_s;
    std::mt19937 random(20261208);
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 5000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[pick(random)];
        ExpectPlacesSpanTheirBatches(text);
    }
}

TEST(SplitBatchPlaces, LinesCountEveryKindOfLineEndOnce) {
    struct Case {
        const char* name;
        QString text;
        std::vector<std::pair<qsizetype, int>> startAndLine;
    };
    const Case cases[] = {
        {"empty text", u""_s, {{0, 1}}},
        {"LF", u"a\nGO\nb\nc\nGO\nd"_s, {{0, 1}, {5, 3}, {12, 6}}},
        // The batch after a CR LF GO line begins with the LF's empty piece.
        {"CR LF", u"a\r\nGO\r\nb\r\nc\r\nGO\r\nd"_s, {{0, 1}, {6, 3}, {16, 6}}},
        {"CR", u"a\rGO\rb\rc\rGO\rd"_s, {{0, 1}, {5, 3}, {12, 6}}},
        {"mixed", u"a\r\n\n\rGO\nb"_s, {{0, 1}, {8, 5}}},
        {"GO first and last", u" go \nx\nGO"_s, {{0, 1}, {5, 2}, {9, 3}}},
        {"GO twice: an empty batch on the second GO line",
         u"x\nGO\nGO\ny"_s,
         {{0, 1}, {5, 3}, {8, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<BatchPlace> places = SplitBatchPlaces(c.text);
        ASSERT_EQ(places.size(), c.startAndLine.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            EXPECT_EQ(places[i].start, c.startAndLine[i].first) << "batch " << i;
            EXPECT_EQ(places[i].line, c.startAndLine[i].second) << "batch " << i;
        }
    }
    const std::vector<BatchPlace> lf = SplitBatchPlaces(u"a\nb\nGO\nc"_s);
    EXPECT_EQ(lf[0].length, 3) << "the line end before GO is not the batch's";
    EXPECT_EQ(lf[1].length, 1);

    const Thrown thrown = ErrorOf([] { SplitBatchPlaces(u"x\n"_s.repeated(32767) + u'x'); });
    EXPECT_EQ(thrown.number, err::Overflow) << "the same bound as the batches";
}

} // namespace
} // namespace brindle::test
