#include "../shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"

using namespace brindle;
using brindle::test::MainWindowTest;

// F9 with the shipped KEYWORD_ARRANGE.CSV beside the program.
TEST_F(MainWindowTest, ArrangeLaysOutTheWholeQueryAsOneUndoableEdit) {
    Open().LoadNewDoc();
    RichTextEditor& editor = *window->ActiveForm()->txtQry();
    const QString query = QStringLiteral("select a, b from t where x = 1 and y = 2");
    editor.setText(query);
    editor.setSelStart(3);
    editor.setSelLength(4); // the selection plays no part
    window->RunMenuItem(QStringLiteral("mnuQryArrange"));
    const QStringList lines = editor.Text().split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.first(), QStringLiteral("select"));
    EXPECT_TRUE(lines.contains(QStringLiteral("from")));
    EXPECT_TRUE(lines.contains(QStringLiteral("where")));
    EXPECT_TRUE(lines.contains(QStringLiteral("    t")));
    EXPECT_TRUE(doubles.messages.shown.empty());
    EXPECT_FALSE(editor.ColourRuns().empty()) << "the result is coloured";

    const QString arranged = editor.Text();
    window->RunMenuItem(QStringLiteral("mnuQryArrange"));
    EXPECT_EQ(editor.Text(), arranged) << "arranging again changes nothing";
    editor.undo();
    EXPECT_EQ(editor.Text(), query);

    editor.setText(QString());
    window->RunMenuItem(QStringLiteral("mnuQryArrange"));
    EXPECT_EQ(editor.Text(), QString());
}
