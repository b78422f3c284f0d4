#include "shell/cls_msg.h"

#include "shell/message_box_service.h"

namespace brindle {

clsMsg::clsMsg() : m_boxes(&DefaultMessageBoxService()) {}

void clsMsg::ShowError(const QString& vstrMessage) const {
    m_boxes->Show(
        {QStringLiteral("エラー"), vstrMessage, MsgIcon::Critical, MsgButtons::Ok, 1, 16});
}

void clsMsg::ShowMessage(const QString& vstrMessage) const {
    m_boxes->Show({QStringLiteral("警告"), vstrMessage, MsgIcon::Warning, MsgButtons::Ok, 1, 48});
}

void clsMsg::ShowInformation(const QString& vstrInformation) const {
    m_boxes->Show(
        {QStringLiteral("情報"), vstrInformation, MsgIcon::Information, MsgButtons::Ok, 1, 64});
}

qint16 clsMsg::ShowQuestion(const QString& vstrQuestion) const {
    const int pressed = m_boxes->Show(
        {QStringLiteral("質問"), vstrQuestion, MsgIcon::Question, MsgButtons::YesNo, 2, 292});
    return static_cast<qint16>(pressed == MsgResultYes ? MsgResultYes : MsgResultNo);
}

} // namespace brindle
