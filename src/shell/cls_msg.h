#pragma once

#include <QString>

namespace brindle {

class MessageBoxService;

// The message service: four fixed combinations of title, icon and buttons.
// Stateless apart from the box service it shows through.
class clsMsg {
public:
    clsMsg(); // the default (real) box service
    explicit clsMsg(MessageBoxService& boxes) : m_boxes(&boxes) {}

    void ShowError(const QString& vstrMessage) const;           // "エラー", critical, OK
    void ShowMessage(const QString& vstrMessage) const;         // "警告", warning, OK
    void ShowInformation(const QString& vstrInformation) const; // "情報", information, OK
    // "質問", Yes/No with No as default; returns 6 (Yes) or 7 (No).
    qint16 ShowQuestion(const QString& vstrQuestion) const;

private:
    MessageBoxService* m_boxes;
};

} // namespace brindle
