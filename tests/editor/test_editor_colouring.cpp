#include "colour/cls_edit_color.h"
#include "colour/keyword_file_fixture.h"
#include "colour/sql_script_generator.h"
#include "editor/editor_colouring.h"
#include "editor/rich_text_editor.h"
#include "editor/rtf_document.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace brindle::test {
namespace {

// The editor coloured after every change as a query document colours it,
// with a keyword file of the test's own.
class ColouredEditor {
public:
    explicit ColouredEditor(const QString& keywordFile) : colouring(editor, boxes, keywordFile) {
        editor.setFontName(QStringLiteral("Monospace"));
        editor.setFontSize(10);
        QObject::connect(&editor, &RichTextEditor::Change, [this] {
            before = editor.Text();
            const int caret = editor.SelStart();
            colouring.Colour();
            editor.setSelStart(caret);
        });
    }

    RichTextEditor editor;
    RecordingErrorBoxes boxes;
    EditorColouring colouring;
    QString before; // the text as the last change left it, before colouring
};

// One colour per character of the '\n'-joined paragraphs ('\n' left out,
// since the editor colours only the characters of its blocks).
std::vector<int> ColourPerCharacter(const QString& text, const std::vector<rtf::ColourRun>& runs) {
    std::vector<int> colours(static_cast<std::size_t>(text.size()), 0);
    for (const rtf::ColourRun& run : runs) {
        for (int i = run.start; i < run.start + run.length && i < text.size(); ++i)
            colours[static_cast<std::size_t>(i)] = run.colour;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            colours[static_cast<std::size_t>(i)] = -1;
    }
    return colours;
}

// The editor shows what the full pass gives for the whole text the last
// change left (the pass may change more than tabs, so it is run on that
// text, not on what the editor shows after it).
::testing::AssertionResult ShowsTheFullPass(ColouredEditor& e, const QString& keywordFile) {
    const QString paragraphs = rtf::ParagraphsFromPlain(e.before);
    const QString shown = rtf::ParagraphsFromPlain(e.editor.Text());
    RecordingErrorBoxes sink;
    clsEditColor full(sink, keywordFile);
    full.setTabSpaceNum(4);
    const QString coloured =
        full.CColor(rtf::WriteRtf(paragraphs, e.editor.FontName(), e.editor.FontSize()));
    if (coloured.isEmpty())
        return ::testing::AssertionFailure() << "the full pass failed";
    const rtf::RtfContent expected = rtf::ReadRtf(coloured);
    if (expected.text != shown)
        return ::testing::AssertionFailure() << "the text is not what the full pass leaves";
    if (ColourPerCharacter(shown, e.editor.ColourRuns()) !=
        ColourPerCharacter(expected.text, expected.runs))
        return ::testing::AssertionFailure() << "the colours differ from the full pass";
    return ::testing::AssertionSuccess();
}

const QStringList Snippets = {
    QStringLiteral("select "), QStringLiteral(" from t"),     QStringLiteral("/*"),
    QStringLiteral("*/"),      QStringLiteral("-- note\n"),   QStringLiteral("\t"),
    QStringLiteral("where "),  QStringLiteral("日本語 "),     QStringLiteral("\\"),
    QStringLiteral("{x}"),     QStringLiteral("\n"),          QStringLiteral("count(*)"),
    QStringLiteral("'--'"),    QStringLiteral("\nselect\n"),  QStringLiteral("/* a\nb */"),
    QStringLiteral("null "),   QStringLiteral("\u3000from "), QStringLiteral("/*/"),
};

// Thousands of random edits: typing, pasting, deleting, undo and redo, and
// the keyword file rewritten between them; after each the editor must show
// what the full pass gives for its whole text.
TEST(EditorColouring, RandomEditsShowWhatTheFullPassGives) {
    const unsigned seeds[] = {1u, 2u, QRandomGenerator::global()->generate()};
    const QStringList tables[] = {
        {QStringLiteral("select,1"), QStringLiteral("from,1"), QStringLiteral("where,1"),
         QStringLiteral("null,3"), QStringLiteral("count,2")},
        {QStringLiteral("select,2"), QStringLiteral("select,1"), QStringLiteral("t,3")},
        // Only the full pass colours this one exactly.
        {QStringLiteral("select,1"), QStringLiteral("par,2"), QStringLiteral("a b,3")},
    };
    for (const unsigned seed : seeds) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        const auto below = [&random](qsizetype n) {
            return n <= 0 ? 0
                          : static_cast<int>(
                                std::uniform_int_distribution<qsizetype>(0, n - 1)(random));
        };
        TempKeywordFile keywords;
        keywords.WriteLines(tables[0]);
        ColouredEditor e(keywords.path());
        // A long script is coloured as it comes into view: one seed runs on one.
        e.editor.setText(GenerateSqlScript(seed == 2 ? 400 : 30, seed));
        ASSERT_TRUE(ShowsTheFullPass(e, keywords.path()));
        for (int step = 0; step < 1200; ++step) {
            const int length = e.editor.TextLength();
            QTextCursor cursor(e.editor.document());
            switch (below(10)) {
            case 0:
            case 1:
            case 2: { // a paste somewhere
                e.editor.setSelStart(below(length + 1));
                e.editor.InsertPlainText(Snippets[below(Snippets.size())]);
                break;
            }
            case 3: { // typed at the caret
                e.editor.setSelStart(below(length + 1));
                QTest::keyClicks(&e.editor, QStringLiteral("se "));
                break;
            }
            case 4:
            case 5: { // a range deleted
                const int from = below(length + 1);
                e.editor.setSelStart(from);
                e.editor.setSelLength(below(std::min(length - from, 40) + 1));
                QTest::keyClick(&e.editor, Qt::Key_Delete);
                break;
            }
            case 6:
                e.editor.undo();
                break;
            case 7:
                e.editor.redo();
                break;
            case 8: // Enter, which splits a paragraph
                e.editor.setSelStart(below(length + 1));
                QTest::keyClick(&e.editor, Qt::Key_Return);
                break;
            case 9: // the keyword file changes, then an edit colours with it
                if (below(4) == 0) {
                    keywords.WriteLines(tables[below(3)]);
                    e.editor.setSelStart(below(length + 1));
                    e.editor.InsertPlainText(QStringLiteral(" "));
                }
                break;
            }
            ASSERT_TRUE(ShowsTheFullPass(e, keywords.path())) << "step " << step;
        }
        EXPECT_TRUE(e.boxes.shown.isEmpty());
    }
}

// An unreadable keyword file gives one box per change and keeps the text,
// as before; once it is back, the colours are right again.
TEST(EditorColouring, AnUnreadableKeywordFileShowsOneBoxPerChangeAndLosesNothing) {
    TempKeywordFile keywords;
    keywords.WriteLines({QStringLiteral("select,1")});
    ColouredEditor e(keywords.path());
    e.editor.setText(QStringLiteral("select a\nfrom b"));
    ASSERT_TRUE(ShowsTheFullPass(e, keywords.path()));
    keywords.WriteBytes(QByteArray());
    e.editor.setSelStart(0);
    QTest::keyClicks(&e.editor, QStringLiteral("x"));
    EXPECT_EQ(e.boxes.shown.size(), 1);
    EXPECT_EQ(e.editor.Text(), QStringLiteral("xselect a\r\nfrom b"));
    keywords.WriteLines({QStringLiteral("select,1"), QStringLiteral("from,2")});
    QTest::keyClick(&e.editor, Qt::Key_Delete);
    EXPECT_EQ(e.boxes.shown.size(), 1);
    EXPECT_TRUE(ShowsTheFullPass(e, keywords.path()));
}

// Blanks put in for tabs are the colouring's own edit: nothing of it waits to
// be coloured again at the next key, and one undo takes back the user's
// edit together with them.
TEST(EditorColouring, TabsTurnedIntoBlanksLeaveNoChangeBehind) {
    TempKeywordFile keywords;
    keywords.WriteLines({QStringLiteral("select,1")});
    ColouredEditor e(keywords.path());
    QString script;
    for (int i = 0; i < 300; ++i)
        script += QStringLiteral("\tselect a\t-- 行 %1\r\n").arg(i);
    e.editor.setText(script);
    ASSERT_TRUE(ShowsTheFullPass(e, keywords.path()));
    EXPECT_FALSE(e.editor.TakeParagraphChange().has_value());

    e.editor.setSelStart(0);
    QTest::keyClicks(&e.editor, QStringLiteral("\t"));
    ASSERT_TRUE(ShowsTheFullPass(e, keywords.path()));
    EXPECT_FALSE(e.editor.TakeParagraphChange().has_value());
    EXPECT_TRUE(e.editor.Text().startsWith(QStringLiteral("        select a    -- 行 0")));
    e.editor.undo();
    EXPECT_TRUE(e.editor.Text().startsWith(QStringLiteral("    select a    -- 行 0")));
    EXPECT_TRUE(ShowsTheFullPass(e, keywords.path()));
}

// A whole text set at once goes in with its tabs as blanks when the colouring
// is exact, and as it is (with the one box) when the keyword file cannot be
// read; a paragraph separator inside it is a paragraph like any other.
TEST(EditorColouring, AWholeTextSetIsShownAsTheFullPassGivesIt) {
    TempKeywordFile keywords;
    keywords.WriteLines({QStringLiteral("select,1"), QStringLiteral("from,2")});
    ColouredEditor e(keywords.path());
    e.editor.setText(QStringLiteral("select\ta\u2029from /*\tb\r\n*/ select\r\n"));
    EXPECT_TRUE(ShowsTheFullPass(e, keywords.path()));
    EXPECT_FALSE(e.editor.Text().contains(u'\t'));
    e.editor.setText(QStringLiteral("\tselect x\r\n/*\r\n\tfrom */ y"));
    EXPECT_TRUE(ShowsTheFullPass(e, keywords.path()));
    keywords.WriteBytes(QByteArray());
    e.editor.setText(QStringLiteral("\tselect a"));
    EXPECT_EQ(e.boxes.shown.size(), 1);
    EXPECT_EQ(e.editor.Text(), QStringLiteral("\tselect a"));
}

} // namespace
} // namespace brindle::test
