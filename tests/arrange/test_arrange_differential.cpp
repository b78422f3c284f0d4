// The fast arrangement against the plain one, over generated queries and
// tables: the same text, or the same error.
#include "arrange/arrange_text.h"
#include "arrange/cls_arrange_query.h"
#include "arrange_fixture.h"
#include "naive_arranger.h"
#include "random_cases.h"
#include "core/error.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

namespace brindle::test {
namespace {

// The text, or the error number as "#n".
struct Outcome {
    QString text;
    std::optional<int> error;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* os) {
    if (outcome.error) {
        *os << "error " << *outcome.error;
    } else {
        ::PrintTo(outcome.text, os);
    }
}

std::string Describe(const QString& query, const ArrangeTable& table) {
    std::ostringstream os;
    os << "query ";
    ::PrintTo(query, &os);
    for (const KeywordArrange& entry : table) {
        os << "\n  entry ";
        ::PrintTo(entry.Keyword, &os);
        os << ',' << entry.Level << ',' << entry.Kind;
    }
    return os.str();
}

std::optional<Outcome> Naive(const QString& query, const ArrangeTable& table) {
    try {
        const std::optional<QString> text = NaiveArrange(query, table, true);
        if (!text) {
            return std::nullopt;
        }
        return Outcome{*text, std::nullopt};
    } catch (const Error& error) {
        return Outcome{QString(), error.number()};
    }
}

Outcome Fast(const QString& query, const ArrangeTable& table) {
    try {
        return {ArrangeText(query, table), std::nullopt};
    } catch (const Error& error) {
        return {QString(), error.number()};
    }
}

TEST(ArrangeDifferential, FastAgreesWithPlainOverGeneratedCases) {
    constexpr int kCases = 20000;
    RandomCases random(20240611);
    int failures = 0;
    for (int i = 0; i < kCases && failures < 5; ++i) {
        const QString query = random.Query();
        const ArrangeTable table = random.Table();
        const std::optional<Outcome> expected = Naive(query, table);
        if (!expected) {
            ADD_FAILURE() << "the plain arrangement runs away\n" << Describe(query, table);
            ++failures;
            continue;
        }
        const Outcome actual = Fast(query, table);
        if (actual != *expected) {
            ADD_FAILURE() << "case " << i << ": " << Describe(query, table) << "\n  fast  "
                          << testing::PrintToString(actual) << "\n  plain "
                          << testing::PrintToString(*expected);
            ++failures;
        }
    }
}

TEST(ArrangeDifferential, ArrangingTwiceAgreesToo) {
    // Arranged text is full of the blanks and breaks the rules write, which
    // generated queries seldom hold.
    RandomCases random(7);
    for (int i = 0; i < 3000; ++i) {
        const QString query = random.Query();
        const ArrangeTable table = random.Table();
        const std::optional<Outcome> first = Naive(query, table);
        if (!first || first->error) {
            continue;
        }
        const std::optional<Outcome> second = Naive(first->text, table);
        ASSERT_TRUE(second) << Describe(first->text, table);
        ASSERT_EQ(Fast(first->text, table), *second) << Describe(first->text, table);
    }
}

TEST(ArrangeDifferential, ThroughTheKeywordFile) {
    RandomCases random(99);
    random.fileSafe = true;
    KeywordFile file;
    RecordingErrorSink errors;
    clsArrangeQuery formatter(errors, file.path());
    for (int i = 0; i < 300; ++i) {
        const QString query = random.Query();
        ArrangeTable table = random.Table();
        file.WriteRows(RowsOf(table));
        std::erase_if(table,
                      [](const KeywordArrange& e) { return !IsApplicableKeyword(e.Keyword); });
        const std::optional<Outcome> expected = Naive(query, table);
        ASSERT_TRUE(expected) << Describe(query, table);
        errors.numbers.clear();
        const QString actual = formatter.CArrange(query);
        if (expected->error) {
            EXPECT_EQ(actual, QString());
            EXPECT_EQ(errors.numbers, std::vector<int>{*expected->error}) << Describe(query, table);
        } else {
            EXPECT_EQ(actual, expected->text) << Describe(query, table);
            EXPECT_TRUE(errors.numbers.empty()) << Describe(query, table);
        }
    }
}

} // namespace
} // namespace brindle::test
