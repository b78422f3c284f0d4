#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace brindle {

class Command;
class TimeoutField;

// The query time-out dialog. OK writes the field's whole seconds into the
// command's time-out; Cancel and the close box leave it as it was.
class frmTimeout : public QDialog {
    Q_OBJECT
public:
    frmTimeout(Command& command, QWidget* parent = nullptr);

    TimeoutField* txtTimeout() const { return m_txtTimeout; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdOK_Click();
    void cmdCancel_Click();

private:
    Command& m_command;
    QLabel* m_imgIcon;
    QLabel* m_lblMsg;
    TimeoutField* m_txtTimeout;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
};

} // namespace brindle
