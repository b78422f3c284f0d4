#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;

namespace brindle {

// Asks for the line to go to, from 1 to the number of lines.
class frmGoToLine : public QDialog {
    Q_OBJECT
public:
    frmGoToLine(int current, int lines, QWidget* parent = nullptr);

    int Line() const;
    QSpinBox* txtLine() const { return m_txtLine; }
    QPushButton* cmdOK() const { return m_cmdOK; }

private:
    QSpinBox* m_txtLine;
    QPushButton* m_cmdOK;
};

} // namespace brindle
