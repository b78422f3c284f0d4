#include "editor/find_replace.h"

#include <gtest/gtest.h>

using namespace brindle::editing;

namespace {

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

TextFinder::Replaced ReplaceEverywhere(const QString& text, const QString& find,
                                       const QString& with, FindOptions options = {}) {
    return TextFinder(find, options).ReplaceAll(text, 0, text.size(), with);
}

} // namespace

TEST(EditorFindReplace, OptionsDecideWhatMatches) {
    const QString text = Q(u"Select sel SELECTED ｓｅｌｅｃｔ 選択 選択肢 _select f(x)");
    EXPECT_EQ(ReplaceEverywhere(text, Q(u"select"), Q(u"#")).count, 3)
        << "any case, but full-width letters are letters of their own";
    EXPECT_EQ(ReplaceEverywhere(text, Q(u"select"), Q(u"#"), {true, false, false}).count, 1);
    EXPECT_EQ(ReplaceEverywhere(text, Q(u"select"), Q(u"#"), {false, true, false}).text,
              Q(u"# sel SELECTED ｓｅｌｅｃｔ 選択 選択肢 _select f(x)"));
    EXPECT_EQ(ReplaceEverywhere(text, Q(u"ｓｅｌｅｃｔ"), Q(u"#"), {false, true, false}).count, 1);
    EXPECT_EQ(ReplaceEverywhere(text, Q(u"選択"), Q(u"#"), {false, true, false}).count, 1)
        << "the word inside a longer word is not whole";
    EXPECT_EQ(ReplaceEverywhere(text, Q(u"("), Q(u"["), {false, true, false}).count, 1)
        << "a bracket after a letter is a word of its own";
    // A plain search takes regular-expression characters as they are.
    EXPECT_EQ(ReplaceEverywhere(Q(u"a.b axb"), Q(u"a.b"), Q(u"-")).text, Q(u"- axb"));
}

TEST(EditorFindReplace, RegularExpressionsWithGroupsAndLineAnchors) {
    const FindOptions regex{false, false, true};
    EXPECT_EQ(
        ReplaceEverywhere(Q(u"id = 1\nname = 'x'"), Q(u"^(\\w+) = (.*)$"), Q(u"\\2 AS \\1"), regex)
            .text,
        Q(u"1 AS id\n'x' AS name"));
    // Empty matches: one per line start, and the text ends.
    const auto prefixed = ReplaceEverywhere(Q(u"a\n\nb"), Q(u"^"), Q(u"-- "), regex);
    EXPECT_EQ(prefixed.text, Q(u"-- a\n-- \n-- b"));
    EXPECT_EQ(prefixed.count, 3);
    EXPECT_EQ(ReplaceEverywhere(Q(u"xa😀"), Q(u"x*"), Q(u"-"), regex).text, Q(u"--a-😀-"))
        << "an empty match steps over a surrogate pair whole";
    // A lone surrogate half (a damaged text) is searched past and kept.
    const QString damaged = Q(u"a") + QChar(0xD800) + Q(u"a") + QChar(0xDC00);
    EXPECT_EQ(ReplaceEverywhere(damaged, Q(u"a"), Q(u"b"), regex).text,
              Q(u"b") + QChar(0xD800) + Q(u"b") + QChar(0xDC00));
    // \n, \t, \\ and a group that does not exist.
    EXPECT_EQ(ReplaceEverywhere(Q(u"a,b"), Q(u","), Q(u"\\n\\t\\\\\\9\\q"), regex).text,
              Q(u"a\n\t\\\\qb"));
    EXPECT_EQ(ReplaceEverywhere(Q(u"a,b"), Q(u","), Q(u"\\n"), {}).text, Q(u"a\\nb"))
        << "a plain replacement is taken as it is";
}

TEST(EditorFindReplace, AProblemIsReportedAndReplacesNothing) {
    const QString text = Q(u"select (1)");
    for (const auto& [find, regex] : {std::pair{Q(u"(1"), true}, std::pair{Q(u"[a-"), true},
                                      std::pair{Q(u"a{2,1}"), true}, std::pair{QString(), false}}) {
        SCOPED_TRACE(find.toStdString());
        const TextFinder finder(find, {false, false, regex});
        EXPECT_FALSE(finder.Problem().isEmpty());
        EXPECT_FALSE(finder.Problem().contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
            << "in the program's words: " << finder.Problem().toStdString();
        const auto replaced = finder.ReplaceAll(text, 0, text.size(), Q(u"x"));
        EXPECT_EQ(replaced.count, 0);
        EXPECT_EQ(replaced.text, text);
        EXPECT_EQ(finder.Find(text, 0, text.size()), std::nullopt);
    }
    const TextFinder bad(Q(u"(1"), {false, false, true});
    EXPECT_EQ(bad.Problem(), Q(u"正規表現に誤りがあります (3 文字目): 閉じる括弧 ) がありません"));
    EXPECT_EQ(TextFinder(QString(), {}).Problem(), Q(u"検索する文字列を入力してください。"));
}

TEST(EditorFindReplace, AReplacementHoldingTheSearchTextIsNotSearchedAgain) {
    const auto doubled = ReplaceEverywhere(Q(u"a aa"), Q(u"a"), Q(u"aa"));
    EXPECT_EQ(doubled.text, Q(u"aa aaaa"));
    EXPECT_EQ(doubled.count, 3);
    const auto wrapped = ReplaceEverywhere(Q(u"x\nx"), Q(u"x"), Q(u"(x)"), {false, false, true});
    EXPECT_EQ(wrapped.text, Q(u"(x)\n(x)"));
    EXPECT_EQ(wrapped.count, 2);
}

TEST(EditorFindReplace, ScopeAndSearchingOn) {
    const QString text = Q(u"ab ab ab ab");
    const TextFinder finder(Q(u"ab"), {});
    // Within [3, 8): the second match, not the third, which ends past it.
    const auto inScope = finder.ReplaceAll(text, 3, 7, Q(u"X"));
    EXPECT_EQ(inScope.text, Q(u"ab X ab ab"));
    EXPECT_EQ(inScope.count, 1);
    EXPECT_EQ(finder.Find(text, 1, text.size()), (TextSpan{3, 2}));
    EXPECT_EQ(finder.Find(text, 10, text.size()), std::nullopt);
    EXPECT_EQ(finder.FindWrapping(text, 10, 0, text.size()), (TextSpan{0, 2}))
        << "round to the start";
    EXPECT_EQ(finder.FindWrapping(text, 10, 3, 8), (TextSpan{3, 2})) << "round to the scope's";
    // A replacement only where the span is exactly a match.
    EXPECT_EQ(finder.ReplacementAt(text, {3, 2}, Q(u"X")), Q(u"X"));
    EXPECT_EQ(finder.ReplacementAt(text, {2, 3}, Q(u"X")), std::nullopt);
    EXPECT_EQ(finder.ReplacementAt(text, {3, 1}, Q(u"X")), std::nullopt);
    const TextFinder group(Q(u"a(b)"), {false, false, true});
    EXPECT_EQ(group.ReplacementAt(text, {6, 2}, Q(u"<\\1>")), Q(u"<b>"));
}
