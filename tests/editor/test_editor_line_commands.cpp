// The editor's own commands in a query document, its colouring on: line
// comments, indent, go to line, the line numbers, bracket pairs and zoom.
#include "editor/bracket_highlighter.h"
#include "editor/editor_commands.h"
#include "editor/editor_zoom.h"
#include "editor/frm_replace.h"
#include "editor/line_number_margin.h"
#include "editor/rich_text_editor.h"
#include "shell/frm_sql.h"
#include "support/test_services.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

namespace brindle::test {
namespace {

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

class EditorCommands : public testing::Test {
protected:
    void SetUp() override {
        doc.resize(800, 600);
        doc.show();
        editor.setFontSize(10);
    }
    void TearDown() override { EXPECT_TRUE(boxes.shown.empty()) << "the colouring kept going"; }
    void Select(int start, int length) {
        editor.setSelStart(start);
        editor.setSelLength(length);
    }
    int At(const char16_t* word) const { return static_cast<int>(editor.Text().indexOf(Q(word))); }

    RecordingMessageBoxes boxes;
    frmSQL doc{boxes};
    RichTextEditor& editor = *doc.txtQry();
};

TEST_F(EditorCommands, ACommentToggleIsOneChangeAndOneUndoStep) {
    const QString text = Q(u"select 1\r\nfrom 表\r\nwhere a = 1\r\n");
    editor.setText(text);
    // A selection ending at the start of "where": that line is not touched.
    Select(At(u"from") + 2, At(u"where") - At(u"from") - 2);
    QSignalSpy changes(&editor, &RichTextEditor::Change);
    ToggleLineComments(editor);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(editor.Text(), Q(u"select 1\r\n-- from 表\r\nwhere a = 1\r\n"));
    EXPECT_EQ(editor.SelText(), Q(u"-- from 表\r\n")) << "the whole line stays selected";
    editor.undo();
    EXPECT_EQ(editor.Text(), text);
    editor.redo();
    EXPECT_EQ(editor.Text(), Q(u"select 1\r\n-- from 表\r\nwhere a = 1\r\n"));

    // First to last line; the empty last line is left alone; and back.
    Select(0, editor.TextLength());
    ToggleLineComments(editor);
    EXPECT_EQ(editor.Text(), Q(u"-- select 1\r\n-- -- from 表\r\n-- where a = 1\r\n"));
    ToggleLineComments(editor);
    EXPECT_EQ(editor.Text(), Q(u"select 1\r\n-- from 表\r\nwhere a = 1\r\n"));
    editor.undo();
    editor.undo();
    editor.undo();
    EXPECT_EQ(editor.Text(), text) << "one step each";

    // The caret's line, the caret moving with its text.
    editor.setSelStart(At(u"a = 1"));
    ToggleLineComments(editor);
    EXPECT_EQ(editor.Text(), Q(u"select 1\r\nfrom 表\r\n-- where a = 1\r\n"));
    EXPECT_EQ(editor.SelStart(), At(u"a = 1"));
    EXPECT_EQ(editor.SelLength(), 0);

    // An empty document.
    editor.setText(QString());
    ToggleLineComments(editor);
    EXPECT_EQ(editor.Text(), Q(u"-- "));
    editor.undo();
    EXPECT_EQ(editor.Text(), QString());
}

TEST_F(EditorCommands, TabAndShiftTabIndentSeveralLinesAndTabStaysATabOtherwise) {
    const QString text = Q(u"select a,\r\n  b\r\nfrom t");
    editor.setText(text);
    editor.SetFocus();
    Select(3, At(u"from") - 3); // into the last line's start: two lines
    QSignalSpy changes(&editor, &RichTextEditor::Change);
    QTest::keyClick(&editor, Qt::Key_Tab);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(editor.Text(), Q(u"    select a,\r\n      b\r\nfrom t"));
    QTest::keyClick(&editor, Qt::Key_Tab);
    QTest::keyClick(&editor, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor.Text(), Q(u"    select a,\r\n      b\r\nfrom t"));
    QTest::keyClick(&editor, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor.Text(), Q(u"select a,\r\nb\r\nfrom t"));
    editor.undo();
    editor.undo();
    EXPECT_EQ(editor.Text(), Q(u"    select a,\r\n      b\r\nfrom t"));
    editor.redo();
    editor.redo();
    EXPECT_EQ(editor.Text(), Q(u"select a,\r\nb\r\nfrom t"));

    // Within one line a Tab is typed as before (and becomes blanks).
    editor.setText(text);
    editor.setSelStart(editor.TextLength());
    QTest::keyClick(&editor, Qt::Key_Tab);
    EXPECT_TRUE(editor.Text().startsWith(Q(u"select a,\r\n  b\r\nfrom t")));
    EXPECT_GT(editor.TextLength(), text.size());
}

TEST_F(EditorCommands, GoToLinePutsTheCaretAtTheLineStartAndShowsIt) {
    QString text;
    for (int i = 1; i <= 3000; ++i)
        text += QStringLiteral("select %1 -- 行\r\n").arg(i);
    editor.setText(text);
    GoToLine(editor, 2500);
    EXPECT_EQ(CaretLine(editor), 2500);
    EXPECT_EQ(editor.SelStart(), text.indexOf(QStringLiteral("select 2500 ")));
    EXPECT_TRUE(editor.viewport()->rect().contains(editor.cursorRect())) << "the line is in view";
    GoToLine(editor, 1);
    EXPECT_EQ(editor.SelStart(), 0);
    GoToLine(editor, 99999);
    EXPECT_EQ(editor.SelStart(), editor.TextLength()) << "the last line";
    GoToLine(editor, -5);
    EXPECT_EQ(editor.SelStart(), 0);
}

TEST_F(EditorCommands, LineNumbersTakeRoomInsideTheEditorAsWideAsTheLastNumber) {
    LineNumberMargin& margin = *doc.lineNumbers();
    const QRect placed = editor.geometry();
    editor.setText(Q(u"a\r\nb"));
    ASSERT_TRUE(margin.Shown());
    const int narrow = margin.MarginWidth();
    EXPECT_GT(narrow, 0);
    EXPECT_EQ(editor.viewport()->x(), editor.contentsRect().left() + narrow);
    QString lines;
    for (int i = 0; i < 12000; ++i)
        lines += u"x\n";
    editor.setText(lines);
    EXPECT_GT(margin.MarginWidth(), narrow) << "five digits";
    margin.SetShown(false);
    EXPECT_EQ(margin.MarginWidth(), 0);
    EXPECT_EQ(editor.viewport()->x(), editor.contentsRect().left());
    EXPECT_EQ(editor.geometry(), placed) << "the document's layout is unchanged";
    margin.SetShown(true);
    // Painting asks only for the lines in view.
    EXPECT_FALSE(margin.grab().isNull());
}

TEST_F(EditorCommands, TheNumbersOnScreenFollowEveryEdit) {
    // What the window shows of the margin, against the margin drawn afresh:
    // a repaint left out would leave numbers that no longer fit the lines.
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        GTEST_SKIP() << "reads the window back from the offscreen platform";
    LineNumberMargin& margin = *doc.lineNumbers();
    const auto stale = [&] {
        QApplication::processEvents();
        const QPoint at = margin.mapTo(doc.window(), QPoint(0, 0));
        const QImage shown =
            doc.window()
                ->windowHandle()
                ->screen()
                ->grabWindow(doc.window()->winId(), at.x(), at.y(), margin.width(), margin.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        return shown != margin.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    editor.setText(Q(u"select 1\r\nfrom t"));
    editor.setSelStart(3);
    EXPECT_FALSE(stale());
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_FALSE(stale()) << "a line added";
    QTest::keyClick(&editor, Qt::Key_X);
    QTest::keyClick(&editor, Qt::Key_Down);
    EXPECT_FALSE(stale()) << "typed, and the caret a line down";
    editor.undo();
    editor.undo();
    EXPECT_FALSE(stale()) << "undone";
    QString lines;
    for (int i = 0; i < 60; ++i)
        lines += u"select 1\r\n";
    editor.setText(lines);
    editor.setSelStart(editor.TextLength());
    EXPECT_FALSE(stale()) << "scrolled to the end";
    doc.zoom()->ZoomIn();
    EXPECT_FALSE(stale()) << "zoomed";
}

TEST_F(EditorCommands, BracketsNextToTheCaretAreShownWithoutTouchingTheText) {
    editor.setText(Q(u"select count(*) from (select '(' as 括弧) t"));
    const QTextBlock block = editor.document()->firstBlock();
    const QList<QTextLayout::FormatRange> colours = block.layout()->formats();
    editor.setSelStart(At(u"(select"));
    const auto shown = [&] {
        QList<int> at;
        for (const QTextEdit::ExtraSelection& s : editor.extraSelections())
            at.append(s.cursor.selectionStart());
        return at;
    };
    EXPECT_EQ(shown(), (QList<int>{At(u"(select"), At(u") t")}));
    editor.setSelStart(At(u"(*)") + 3);
    EXPECT_EQ(shown(), (QList<int>{At(u"(*)"), At(u"(*)") + 2}));
    editor.setSelStart(At(u"'('") + 2);
    EXPECT_EQ(shown(), QList<int>{}) << "a bracket in a string";
    editor.setSelStart(0);
    EXPECT_EQ(shown(), QList<int>{});
    EXPECT_EQ(block.layout()->formats(), colours) << "the colours are the text's own";
    EXPECT_FALSE(editor.document()->isUndoAvailable());
}

TEST_F(EditorCommands, ZoomChangesTheShownSizeAndNeverTheFont) {
    editor.setText(Q(u"select 1"));
    EditorZoom& zoom = *doc.zoom();
    const int margin = doc.lineNumbers()->MarginWidth();
    zoom.ZoomIn();
    zoom.ZoomIn();
    EXPECT_DOUBLE_EQ(editor.document()->defaultFont().pointSizeF(), 12);
    EXPECT_DOUBLE_EQ(editor.FontSize(), 10) << "the font the program keeps";
    EXPECT_TRUE(editor.TextRTF().contains(QStringLiteral("\\fs20 ")));
    EXPECT_GT(doc.lineNumbers()->MarginWidth(), margin) << "the numbers follow the text";
    editor.setText(Q(u"a file opened"));
    EXPECT_DOUBLE_EQ(editor.document()->defaultFont().pointSizeF(), 12) << "a new text too";
    // Ctrl+wheel: one notch a step; without Ctrl the wheel scrolls.
    QWheelEvent up(QPointF(10, 10), editor.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                   QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor.viewport(), &up);
    EXPECT_EQ(zoom.Steps(), 3);
    QWheelEvent down(QPointF(10, 10), editor.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                     QPoint(0, -240), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor.viewport(), &down);
    EXPECT_EQ(zoom.Steps(), 1);
    zoom.Reset();
    EXPECT_DOUBLE_EQ(editor.document()->defaultFont().pointSizeF(), 10);
    for (int i = 0; i < 50; ++i)
        zoom.ZoomOut();
    EXPECT_DOUBLE_EQ(zoom.ShownPointSize(), 4) << "never too small to read";
    // A new font is shown at its own size.
    editor.setFontSize(14);
    EXPECT_EQ(zoom.Steps(), 0);
    EXPECT_DOUBLE_EQ(editor.document()->defaultFont().pointSizeF(), 14);
}

// Answers each button with its name and the request it was given.
class EchoActions final : public ReplaceActions {
public:
    QString FindNext(const ReplaceRequest& r) override { return Echo(u"next", r); }
    QString Replace(const ReplaceRequest& r) override { return Echo(u"one", r); }
    QString ReplaceAll(const ReplaceRequest& r) override { return Echo(u"all", r); }

private:
    static QString Echo(const char16_t* button, const ReplaceRequest& r) {
        return Q(button) + u'|' + r.findWhat + u'|' + r.replaceWith + u'|' +
               QString::number(r.options.matchCase) + QString::number(r.options.wholeWord) +
               QString::number(r.options.regularExpression) + QString::number(r.inSelection);
    }
};

TEST(ReplaceDialog, ItsButtonsActAtOnceAndItSaysWhatTheyDid) {
    EchoActions actions;
    const ReplaceRequest last{Q(u"表"), Q(u"テーブル"), {true, false, true}, true};
    frmReplace dialog(last, false, actions);
    EXPECT_EQ(dialog.windowTitle(), Q(u"置換"));
    EXPECT_EQ(dialog.cmdFindNext()->text(), Q(u"次を検索"));
    EXPECT_EQ(dialog.cmdReplace()->text(), Q(u"置換"));
    EXPECT_EQ(dialog.cmdReplaceAll()->text(), Q(u"すべて置換"));
    EXPECT_TRUE(dialog.cmdFindNext()->isDefault());
    EXPECT_FALSE(dialog.chkSelection()->isEnabled()) << "no selection to stay within";
    dialog.cmdReplaceAll()->click();
    EXPECT_EQ(dialog.lblMessage()->text(), Q(u"all|表|テーブル|1010"));
    dialog.txtFind()->setText(Q(u"a("));
    dialog.chkWholeWord()->setChecked(true);
    dialog.cmdFindNext()->click();
    EXPECT_EQ(dialog.lblMessage()->text(), Q(u"next|a(|テーブル|1110"));
    dialog.cmdReplace()->click();
    EXPECT_EQ(dialog.lblMessage()->text(), Q(u"one|a(|テーブル|1110"));

    frmReplace within(last, true, actions);
    EXPECT_TRUE(within.chkSelection()->isChecked());
    EXPECT_TRUE(within.Request().inSelection);
}

} // namespace
} // namespace brindle::test
