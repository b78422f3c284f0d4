#pragma once

#include <QDialog>

class QPushButton;

namespace brindle {

// The connection dialog.
class frmConnect : public QDialog {
    Q_OBJECT
public:
    explicit frmConnect(QWidget* parent = nullptr);

    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdOK_Click();
    void cmdCancel_Click();

private:
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
};

} // namespace brindle
