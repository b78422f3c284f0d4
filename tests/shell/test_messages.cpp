#include "shell/cls_msg.h"
#include "shell/message_box_service.h"
#include "support/test_services.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace brindle;

TEST(Messages, EachMethodShowsItsTitleIconButtonsAndStyle) {
    test::RecordingMessageBoxes boxes;
    const clsMsg msg(boxes);
    msg.ShowError(QStringLiteral("e"));
    msg.ShowMessage(QStringLiteral("w"));
    msg.ShowInformation(QStringLiteral("i"));
    msg.ShowQuestion(QStringLiteral("q"));
    const struct {
        const char16_t* title;
        MsgIcon icon;
        MsgButtons buttons;
        int defaultButton;
        int style;
        const char16_t* text;
    } expected[] = {
        {u"エラー", MsgIcon::Critical, MsgButtons::Ok, 1, 16, u"e"},
        {u"警告", MsgIcon::Warning, MsgButtons::Ok, 1, 48, u"w"},
        {u"情報", MsgIcon::Information, MsgButtons::Ok, 1, 64, u"i"},
        {u"質問", MsgIcon::Question, MsgButtons::YesNo, 2, 292, u"q"},
    };
    ASSERT_EQ(boxes.shown.size(), std::size(expected));
    for (size_t i = 0; i < boxes.shown.size(); ++i) {
        SCOPED_TRACE(i);
        const MessageBoxRequest& r = boxes.shown[i];
        EXPECT_EQ(r.title, QString::fromUtf16(expected[i].title));
        EXPECT_EQ(r.icon, expected[i].icon);
        EXPECT_EQ(r.buttons, expected[i].buttons);
        EXPECT_EQ(r.defaultButton, expected[i].defaultButton);
        EXPECT_EQ(r.style, expected[i].style);
        EXPECT_EQ(r.text, QString::fromUtf16(expected[i].text));
    }
}

TEST(Messages, TextIsPassedUnchangedAndQuestionReturnsTheButtonCode) {
    test::RecordingMessageBoxes boxes;
    const clsMsg msg(boxes);
    msg.ShowError(QString());
    msg.ShowError(QStringLiteral(" 二行\r\nの説明 "));
    EXPECT_EQ(boxes.shown[0].text, QString());
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral(" 二行\r\nの説明 "));
    boxes.answer = MsgResultYes;
    EXPECT_EQ(msg.ShowQuestion(QStringLiteral("?")), 6);
    boxes.answer = MsgResultNo;
    EXPECT_EQ(msg.ShowQuestion(QStringLiteral("?")), 7);
}

// The real box: Enter without moving the focus answers the question with No.
TEST(Messages, RealQuestionBoxDefaultsToNo) {
    QtMessageBoxService real;
    QString seenTitle;
    QTimer::singleShot(0, [&seenTitle] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenTitle = box->windowTitle();
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->buttons().size(), 2);
        QTest::keyClick(box, Qt::Key_Return);
    });
    const int pressed = clsMsg(real).ShowQuestion(QStringLiteral("続けますか？"));
    EXPECT_EQ(seenTitle, QStringLiteral("質問"));
    EXPECT_EQ(pressed, 7);
}

TEST(Messages, RealErrorBoxClosesWithOk) {
    QtMessageBoxService real;
    QString seenText;
    QTimer::singleShot(0, [&seenText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->buttons().size(), 1);
        QTest::keyClick(box, Qt::Key_Return);
    });
    clsMsg(real).ShowError(QStringLiteral("接続できません。"));
    EXPECT_EQ(seenText, QStringLiteral("接続できません。"));
}
