#include "../shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"

#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace brindle;

namespace {

// The shipped KEYWORD_COLOR.CSV stands beside the test program: select,
// from and where are class 1, null class 3.
class ColouringTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open().LoadNewDoc();
        editor().setFocus();
    }
    RichTextEditor& editor() { return *window->ActiveForm()->txtQry(); }
    // The colour index of the character at a '\n'-joined offset (0: none).
    int ColourAt(int offset) {
        for (const rtf::ColourRun& run : editor().ColourRuns()) {
            if (offset >= run.start && offset < run.start + run.length)
                return run.colour;
        }
        return 0;
    }
};

} // namespace

TEST_F(ColouringTest, AKeywordTakesItsColourOnceADelimiterFollows) {
    QTest::keyClicks(&editor(), QStringLiteral("x"));
    QTest::keyClick(&editor(), Qt::Key_Home);
    QTest::keyClicks(&editor(), QStringLiteral("select"));
    EXPECT_EQ(editor().Text(), QStringLiteral("selectx"));
    EXPECT_EQ(ColourAt(0), 0) << "no delimiter after it yet";
    QTest::keyClicks(&editor(), QStringLiteral(" "));
    EXPECT_EQ(ColourAt(0), 1);
    EXPECT_EQ(ColourAt(5), 1);
    EXPECT_EQ(ColourAt(7), 0);
    EXPECT_EQ(editor().SelStart(), 7) << "the caret keeps its offset";
    EXPECT_EQ(editor().SelLength(), 0);
    // At the end of a line the paragraph mark's backslash is a delimiter.
    editor().setText(QStringLiteral("from"));
    EXPECT_EQ(ColourAt(0), 1);
}

TEST_F(ColouringTest, CommentsAreGreenAndProgramWritesAreColouredToo) {
    editor().setText(QStringLiteral("select a -- from\r\nfrom t"));
    EXPECT_EQ(ColourAt(0), 1);
    EXPECT_EQ(ColourAt(9), 4) << "the comment";
    EXPECT_EQ(ColourAt(12), 4) << "a keyword inside a comment is green";
    EXPECT_EQ(ColourAt(17), 1) << "the next line starts uncoloured";
    EXPECT_EQ(editor().ColourOf(4), QColor(0, 150, 0));
    EXPECT_EQ(editor().Text(), QStringLiteral("select a -- from\r\nfrom t"));
}

TEST_F(ColouringTest, ATabBecomesFourBlanksAndOneUndoTakesItBack) {
    QTest::keyClicks(&editor(), QStringLiteral("a"));
    QTest::keyClick(&editor(), Qt::Key_Tab);
    EXPECT_EQ(editor().Text(), QStringLiteral("a    "));
    EXPECT_EQ(editor().SelStart(), 2) << "the caret stands after the first blank";
    editor().undo();
    EXPECT_EQ(editor().Text(), QStringLiteral("a"));
    editor().redo();
    EXPECT_EQ(editor().Text(), QStringLiteral("a    "));
}

TEST_F(ColouringTest, UndoRestoresTheTextAndColoursItAgain) {
    QTest::keyClicks(&editor(), QStringLiteral("select x"));
    QTest::keyClick(&editor(), Qt::Key_Home);
    QTest::keyClicks(&editor(), QStringLiteral("q"));
    EXPECT_EQ(editor().Text(), QStringLiteral("qselect x"));
    EXPECT_EQ(ColourAt(1), 0);
    editor().undo();
    EXPECT_EQ(editor().Text(), QStringLiteral("select x"));
    EXPECT_EQ(ColourAt(0), 1);
}

TEST_F(ColouringTest, TheViewDoesNotJumpWhenColouring) {
    QString text;
    for (int i = 0; i < 500; ++i)
        text += QStringLiteral("select col%1 from t -- line\r\n").arg(i);
    editor().setText(text);
    editor().resize(400, 200);
    editor().setSelStart(static_cast<int>(text.size() / 2));
    editor().ensureCursorVisible();
    const int scrolled = editor().verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    QTest::keyClicks(&editor(), QStringLiteral("x"));
    EXPECT_EQ(editor().verticalScrollBar()->value(), scrolled);
}

TEST_F(ColouringTest, ADroppedFileIsColoured) {
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("q.sql")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("select 1");
    f.close();
    window->ActiveForm()->txtQry_OLEDragDrop(DropData{{f.fileName()}});
    EXPECT_EQ(editor().Text(), QStringLiteral("select 1\r\n"));
    EXPECT_EQ(ColourAt(0), 1);
    EXPECT_TRUE(doubles.messages.shown.empty());
}

TEST_F(ColouringTest, KeysThatChangeNothingKeepTheSelection) {
    QTest::keyClicks(&editor(), QStringLiteral("select 1"));
    QTest::keyClick(&editor(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor().SelStart(), 0);
    EXPECT_EQ(editor().SelLength(), 8) << "Ctrl+A selects the whole text";
    QTest::keyClick(&editor(), Qt::Key_End);
    QTest::keyClick(&editor(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(editor().SelStart(), 7);
    EXPECT_EQ(editor().SelLength(), 1);
}
