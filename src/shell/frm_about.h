#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace brindle {

// The about box: icon, title and version.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* lblTitle() const { return m_lblTitle; }
    QLabel* lblVersion() const { return m_lblVersion; }
    QPushButton* cmdOK() const { return m_cmdOK; }

private:
    QLabel* m_picIcon;
    QLabel* m_lblTitle;
    QLabel* m_lblVersion;
    QPushButton* m_cmdOK;
};

} // namespace brindle
