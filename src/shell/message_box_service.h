#pragma once

#include <QString>

class QWidget;

namespace brindle {

enum class MsgIcon { Critical, Warning, Information, Question };
enum class MsgButtons { Ok, YesNo };

// Everything a modal message box shows.
struct MessageBoxRequest {
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::Critical;
    MsgButtons buttons = MsgButtons::Ok;
    int defaultButton = 1; // 1 = first button, 2 = second
    int style = 0;         // the sum of the message-box flags it stands for
};

// Result codes of a message box.
inline constexpr int MsgResultOk = 1;
inline constexpr int MsgResultYes = 6;
inline constexpr int MsgResultNo = 7;

// Shows a box modal to the application and returns the button pressed.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(const MessageBoxRequest& request) = 0;
};

// The real one: QMessageBox, owned by the active window.
class QtMessageBoxService final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override;
};

// The service used when nobody chose one.
MessageBoxService& DefaultMessageBoxService();

} // namespace brindle
