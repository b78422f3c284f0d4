#include "data/command.h"
#include "data/frm_timeout.h"
#include "data/timeout_field.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace brindle;

namespace {

class TimeoutDialogTest : public testing::Test {
protected:
    TimeoutDialogTest() { command.setCommandTimeout(30); }
    TimeoutField& field() { return *dialog.txtTimeout(); }
    void Type(const QString& keys) { QTest::keyClicks(&field(), keys); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(&field(), key, mods);
    }

    Command command;
    frmTimeout dialog{command};
};

} // namespace

TEST_F(TimeoutDialogTest, OpensWithTheTimeOutAndTheCaretAtTheEnd) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("クエリ タイムアウト"));
    EXPECT_EQ(field().text(), QStringLiteral("30"));
    EXPECT_EQ(field().cursorPosition(), 2);
    EXPECT_FALSE(field().hasSelectedText());
    EXPECT_EQ(field().toolTip(), QStringLiteral("秒単位で指定"));
    EXPECT_FALSE(field().testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(TimeoutDialogTest, OnlyDigitsAndBackspaceChangeTheField) {
    Type(QStringLiteral("a-.,+e "));
    Key(Qt::Key_V, Qt::ControlModifier); // the paste shortcut
    QKeyEvent wide(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("５"));
    QCoreApplication::sendEvent(&field(), &wide);
    EXPECT_EQ(field().text(), QStringLiteral("30"));
    Type(QStringLiteral("5"));
    EXPECT_EQ(field().text(), QStringLiteral("305"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(field().text(), QStringLiteral("30"));
}

TEST_F(TimeoutDialogTest, EmptyBecomesZeroAndLeadingZerosGo) {
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(field().text(), QStringLiteral("0"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(field().text(), QStringLiteral("0"));
    Type(QStringLiteral("5"));
    EXPECT_EQ(field().text(), QStringLiteral("5"));
    field().setText(QStringLiteral("000120"));
    EXPECT_EQ(field().text(), QStringLiteral("120"));
    EXPECT_EQ(field().cursorPosition(), 3);
}

TEST_F(TimeoutDialogTest, DeleteActsAsBackspaceAndArrowsAreIgnored) {
    Key(Qt::Key_Delete);
    EXPECT_EQ(field().text(), QStringLiteral("3"));
    Type(QStringLiteral("45"));
    Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    EXPECT_EQ(field().cursorPosition(), 3);
    Type(QStringLiteral("6"));
    EXPECT_EQ(field().text(), QStringLiteral("3456"));
}

TEST_F(TimeoutDialogTest, AtMostEightDigits) {
    Type(QStringLiteral("123456789"));
    EXPECT_EQ(field().text(), QStringLiteral("30123456"));
    dialog.cmdOK()->click();
    EXPECT_EQ(command.CommandTimeout(), 30123456);
}

TEST_F(TimeoutDialogTest, MouseClicksPutTheCaretBackAtTheEnd) {
    QTest::mouseClick(&field(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 5));
    EXPECT_EQ(field().cursorPosition(), 2);
    field().setSelection(0, 2);
    QTest::mouseRelease(&field(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 5));
    EXPECT_FALSE(field().hasSelectedText());
    EXPECT_EQ(field().cursorPosition(), 2);
}

TEST_F(TimeoutDialogTest, OkAppliesCancelKeeps) {
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    Type(QStringLiteral("0"));
    dialog.cmdCancel()->click();
    EXPECT_EQ(command.CommandTimeout(), 30);
    frmTimeout again(command);
    again.txtTimeout()->setText(QStringLiteral("0"));
    again.cmdOK()->click();
    EXPECT_EQ(command.CommandTimeout(), 0) << "0 means no limit";
    frmTimeout pasted(command);
    pasted.txtTimeout()->setText(QStringLiteral("abc"));
    pasted.cmdOK()->click();
    EXPECT_EQ(command.CommandTimeout(), 0) << "pasted text that is no number changes nothing";
}
