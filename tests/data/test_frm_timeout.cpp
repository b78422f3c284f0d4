#include "data/command.h"
#include "data/frm_timeout.h"
#include "data/timeout_field.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "support/print_qt.h"

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

// On screen, as the user meets it.
class ShownTimeoutDialog : public TimeoutDialogTest {
protected:
    void SetUp() override {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        ASSERT_EQ(QApplication::focusWidget(), &field());
    }
};

TEST_F(ShownTimeoutDialog, EnterPressesOkAndEscPressesCancel) {
    Type(QStringLiteral("5"));
    Key(Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(command.CommandTimeout(), 305);

    for (const Qt::Key key : {Qt::Key_Enter, Qt::Key_Escape}) {
        frmTimeout again(command);
        again.show();
        QApplication::setActiveWindow(&again);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&again));
        QTest::keyClicks(again.txtTimeout(), QStringLiteral("7"));
        QTest::keyClick(again.txtTimeout(), key);
        EXPECT_FALSE(again.isVisible());
        if (key == Qt::Key_Enter) {
            EXPECT_EQ(again.result(), QDialog::Accepted) << "the keypad's Enter";
            EXPECT_EQ(command.CommandTimeout(), 3057);
        } else {
            EXPECT_EQ(again.result(), QDialog::Rejected);
            EXPECT_EQ(command.CommandTimeout(), 3057) << "Esc keeps the time-out";
        }
    }
}

TEST_F(ShownTimeoutDialog, EnteringTheFieldSelectsNothing) {
    EXPECT_FALSE(field().hasSelectedText()) << "when the dialog opens";
    EXPECT_EQ(field().cursorPosition(), 2);
    // Round the tab order (OK, キャンセル) and back into the field.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &field());
    EXPECT_FALSE(field().hasSelectedText()) << "after Tab";
    EXPECT_EQ(field().cursorPosition(), 2);
    QTest::keyClick(&field(), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &field());
    EXPECT_FALSE(field().hasSelectedText()) << "after Shift+Tab and Tab";
    Type(QStringLiteral("1"));
    EXPECT_EQ(field().text(), QStringLiteral("301")) << "typing adds, it does not replace";
}

TEST_F(TimeoutDialogTest, APasteCannotMakeTheFieldLongerThanEightCharacters) {
    EXPECT_EQ(field().maxLength(), TimeoutField::MaxDigits);
    QApplication::clipboard()->setText(QStringLiteral("1234567890123"));
    field().paste(); // the context menu's paste
    EXPECT_EQ(field().text(), QStringLiteral("30123456"));
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Insert, Qt::ShiftModifier); // the other paste shortcut
    EXPECT_EQ(field().text(), QStringLiteral("30123412"));
    dialog.cmdOK()->click();
    EXPECT_EQ(command.CommandTimeout(), 30123412);
}
