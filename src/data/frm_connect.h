#pragma once

#include "shell/cls_msg.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

class MessageBoxService;

// The connection dialog: data-source name, login name and password, opening
// the shared connection gcnDB. The name and login are remembered in the
// settings store whenever the dialog closes; the password never is.
class frmConnect : public QDialog {
    Q_OBJECT
public:
    explicit frmConnect(MessageBoxService& boxes, QWidget* parent = nullptr);

    QLabel* imgIcon() const { return m_imgIcon; }
    QLabel* lblMsg() const { return m_lblMsg; }
    QComboBox* cboDSNList() const { return m_cboDSNList; }
    QLineEdit* txtUID() const { return m_txtUID; }
    QLineEdit* txtPWD() const { return m_txtPWD; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    // Appends the driver manager's data-source names; silent on failure.
    void GetDSNsAndDrivers();
    // Closes gcnDB if open and opens it on the three fields. A failure goes
    // to the error box and gives false; the connection is closed then.
    bool ConnectDataSource();

    void cmdOK_Click();
    void cmdCancel_Click();

    // Every way of closing (OK, Cancel, Esc, the close box) ends here.
    void done(int result) override;

private:
    void Form_Load();
    void Form_QueryUnload();

    clsMsg mMsg;
    QLabel* m_imgIcon;
    QLabel* m_lblMsg;
    QGroupBox* m_fraDSN;
    QLabel* m_lblDSN;
    QComboBox* m_cboDSNList;
    QLabel* m_lblUID;
    QLineEdit* m_txtUID;
    QLabel* m_lblPWD;
    QLineEdit* m_txtPWD;
    QFrame* m_fraBtn;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
};

} // namespace brindle
