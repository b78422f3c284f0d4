#include "editor/batch_at_caret.h"
#include "editor/bracket_match.h"
#include "editor/line_edits.h"
#include "editor/text_lines.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace brindle::editing;

namespace {

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

// The lines with the edits made, for checking what a command does.
QStringList Applied(QStringList lines, int firstLine, const std::vector<LineEdit>& edits) {
    for (const LineEdit& e : edits) {
        QString& line = lines[e.line - firstLine];
        line.replace(e.column, e.removed, e.inserted);
    }
    return lines;
}

// What BatchAt selects, as text.
QString BatchText(const QString& text, qsizetype offset) {
    const auto span = BatchAt(text, offset);
    return span ? text.mid(span->start, span->length) : QStringLiteral("<none>");
}

} // namespace

TEST(EditorTextLines, OffsetsCountCrLfAsTwoAndEveryLineEndEndsALine) {
    const QString text = Q(u"漢字 a\r\nb\rc\n\r\nd\r\n");
    const LineIndex lines(text);
    ASSERT_EQ(lines.LineCount(), 6);
    EXPECT_EQ(lines.Line(0), Q(u"漢字 a"));
    EXPECT_EQ(lines.Line(1), Q(u"b"));
    EXPECT_EQ(lines.Line(2), Q(u"c"));
    EXPECT_EQ(lines.Line(3), QString());
    EXPECT_EQ(lines.Line(4), Q(u"d"));
    EXPECT_EQ(lines.Line(5), QString()) << "a text ending in a line end has an empty last line";
    EXPECT_EQ(lines.LineStart(1), 6);
    EXPECT_EQ(lines.LineStart(4), 12);
    EXPECT_EQ(lines.PointAt(4), (TextPoint{0, 4}));
    EXPECT_EQ(lines.PointAt(5), (TextPoint{0, 4})) << "between CR and LF: the end of the line";
    EXPECT_EQ(lines.PointAt(6), (TextPoint{1, 0}));
    EXPECT_EQ(lines.PointAt(1000), (TextPoint{5, 0}));
    EXPECT_EQ(lines.PointAt(-3), (TextPoint{0, 0}));

    const LineIndex empty(QStringView{});
    EXPECT_EQ(empty.LineCount(), 1);
    EXPECT_EQ(empty.Line(0), QString());
    EXPECT_EQ(empty.PointAt(0), (TextPoint{0, 0}));

    // Go to line: the line's start, the number clamped to the text.
    EXPECT_EQ(LineStartOffset(lines, 1), 0);
    EXPECT_EQ(LineStartOffset(lines, 2), 6);
    EXPECT_EQ(LineStartOffset(lines, 6), text.size());
    EXPECT_EQ(LineStartOffset(lines, 99), text.size());
    EXPECT_EQ(LineStartOffset(lines, 0), 0);
}

TEST(EditorTextLines, ASelectionEndingAtALineStartLeavesThatLineOut) {
    EXPECT_EQ(TouchedLines({2, 3}, {2, 3}), (LineRange{2, 2})) << "the caret's line";
    EXPECT_EQ(TouchedLines({1, 0}, {3, 0}), (LineRange{1, 2}));
    EXPECT_EQ(TouchedLines({3, 0}, {1, 0}), (LineRange{1, 2})) << "either direction";
    EXPECT_EQ(TouchedLines({1, 4}, {3, 1}), (LineRange{1, 3}));
    EXPECT_EQ(TouchedLines({1, 4}, {2, 0}), (LineRange{1, 1}));
    EXPECT_EQ(TouchedLines({1, 0}, {1, 0}), (LineRange{1, 1}));
}

TEST(EditorLineEdits, CommentsGoOnEveryLineAndComeOffWhenAllHaveThem) {
    const QStringList plain = {Q(u"select 1"), QString(), Q(u"  from 表")};
    const QStringList commented = Applied(plain, 4, ToggleLineComments(plain, 4));
    EXPECT_EQ(commented, (QStringList{Q(u"-- select 1"), QString(), Q(u"--   from 表")}))
        << "blank lines are left alone";
    EXPECT_EQ(Applied(commented, 4, ToggleLineComments(commented, 4)), plain);

    // One line without: every line gets one more.
    const QStringList mixed = {Q(u"-- a"), Q(u"b")};
    EXPECT_EQ(Applied(mixed, 0, ToggleLineComments(mixed, 0)),
              (QStringList{Q(u"-- -- a"), Q(u"-- b")}));
    // Comments after blanks, and without a blank after the mark, come off.
    const QStringList indented = {Q(u"    -- a"), Q(u"--b"), Q(u"\t--")};
    EXPECT_EQ(Applied(indented, 0, ToggleLineComments(indented, 0)),
              (QStringList{Q(u"    a"), Q(u"b"), Q(u"\t")}));
    // Only blank lines (an empty document): they get the mark.
    const QStringList empty = {QString()};
    const auto edits = ToggleLineComments(empty, 0);
    EXPECT_EQ(edits, (std::vector<LineEdit>{{0, 0, 0, Q(u"-- ")}}));
    EXPECT_EQ(Applied(Applied(empty, 0, edits), 0, ToggleLineComments(Applied(empty, 0, edits), 0)),
              empty);
}

TEST(EditorLineEdits, IndentAddsBlanksAndOutdentTakesAtMostOneStep) {
    const QStringList lines = {Q(u"select"), QString(), Q(u"  全角"), Q(u"\tx")};
    EXPECT_EQ(Applied(lines, 0, IndentLines(lines, 0, 4)),
              (QStringList{Q(u"    select"), QString(), Q(u"      全角"), Q(u"    \tx")}))
        << "an empty line stays empty";
    const QStringList deep = {Q(u"      a"), Q(u"  b"), Q(u"c"), Q(u"\t  d"), QString()};
    EXPECT_EQ(Applied(deep, 0, OutdentLines(deep, 0, 4)),
              (QStringList{Q(u"  a"), Q(u"b"), Q(u"c"), Q(u"  d"), QString()}));
    EXPECT_TRUE(OutdentLines({Q(u"x"), QString()}, 0, 4).empty()) << "nothing to take off";
    const QStringList indented = Applied(lines, 0, IndentLines(lines, 0, 4));
    EXPECT_EQ(Applied(indented, 0, OutdentLines(indented, 0, 4)), lines);
}

TEST(EditorBatchAtCaret, TheBatchAroundTheCaretWithoutItsBlankLines) {
    const QString text = Q(u"\r\nselect 1\r\n\r\ngo\r\n  select 2 -- 二\r\nfrom t\r\n  GO  \r\n"
                           u"select 3\r\n");
    // In the middle of a batch, and at its edges.
    const qsizetype two = text.indexOf(u"select 2");
    EXPECT_EQ(BatchText(text, two + 3), Q(u"  select 2 -- 二\r\nfrom t"));
    EXPECT_EQ(BatchText(text, text.indexOf(u"from t") + 6), Q(u"  select 2 -- 二\r\nfrom t"));
    EXPECT_EQ(BatchText(text, two - 2), Q(u"  select 2 -- 二\r\nfrom t"))
        << "the first column of its first line";
    // On a GO line: the batch it ends.
    EXPECT_EQ(BatchText(text, text.indexOf(u"go") + 1), Q(u"select 1"));
    EXPECT_EQ(BatchText(text, text.indexOf(u"GO")), Q(u"  select 2 -- 二\r\nfrom t"));
    // Before the first batch (its leading blank line) and after the last.
    EXPECT_EQ(BatchText(text, 0), Q(u"select 1"));
    EXPECT_EQ(BatchText(text, text.size()), Q(u"select 3"));
    // The span is in offsets that count CR LF as two.
    const auto span = BatchAt(text, two);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->start, two - 2);

    // One batch, no GO at all; trailing blank lines left out.
    EXPECT_EQ(BatchText(Q(u"select a\r\n  from b\r\n\r\n"), 22), Q(u"select a\r\n  from b"));
    // Nothing to run: an empty text, a GO at the top, a blank batch after
    // the last GO.
    EXPECT_EQ(BatchText(QString(), 0), QStringLiteral("<none>"));
    EXPECT_EQ(BatchText(Q(u"GO\r\nselect 1"), 0), QStringLiteral("<none>"));
    EXPECT_EQ(BatchText(Q(u"select 1\r\nGO\r\n　\r\n"), 15), QStringLiteral("<none>"));
    // Only a lone GO (spaces around it allowed) separates; "go;" does not.
    EXPECT_EQ(BatchText(Q(u"a\ngo;\nb\n\tgo\nc"), 0), Q(u"a\ngo;\nb\n\tgo\nc"));
}

TEST(EditorBracketMatch, PairsSkipStringsAndComments) {
    const QString text = Q(u"f(a, (b), ')', \"(\" /* ( */) -- )\n(x");
    const qsizetype open = text.indexOf(u'(');
    const qsizetype close = text.indexOf(u") --");
    EXPECT_EQ(MatchBracket(text, open), (BracketPair{open, close})) << "caret before '('";
    EXPECT_EQ(MatchBracket(text, open + 1), (BracketPair{open, close})) << "caret after '('";
    EXPECT_EQ(MatchBracket(text, close + 1), (BracketPair{open, close})) << "caret after ')'";
    const qsizetype inner = text.indexOf(u"(b");
    EXPECT_EQ(MatchBracket(text, inner), (BracketPair{inner, inner + 2}));
    // Brackets in strings and comments have no pair; an unclosed one neither.
    EXPECT_EQ(MatchBracket(text, text.indexOf(u"')") + 1), std::nullopt);
    EXPECT_EQ(MatchBracket(text, text.indexOf(u"( *")), std::nullopt);
    EXPECT_EQ(MatchBracket(text, text.lastIndexOf(u')')), std::nullopt);
    EXPECT_EQ(MatchBracket(text, text.lastIndexOf(u'(')), std::nullopt);
    EXPECT_EQ(MatchBracket(text, 2 + 1), std::nullopt) << "no bracket next to the caret";
    EXPECT_EQ(MatchBracket(QString(), 0), std::nullopt);
}
