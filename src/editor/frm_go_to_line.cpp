#include "editor/frm_go_to_line.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace brindle {

frmGoToLine::frmGoToLine(int current, int lines, QWidget* parent)
    : QDialog(parent), m_txtLine(new QSpinBox(this)), m_cmdOK(nullptr) {
    setObjectName(QStringLiteral("frmGoToLine"));
    setWindowTitle(QStringLiteral("指定行へ移動"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    lines = std::max(lines, 1);
    m_txtLine->setObjectName(QStringLiteral("txtLine"));
    m_txtLine->setRange(1, lines);
    m_txtLine->setValue(std::clamp(current, 1, lines));
    m_txtLine->selectAll();
    auto* label = new QLabel(QStringLiteral("行番号(&L) (1 - %1)：").arg(lines), this);
    label->setBuddy(m_txtLine);
    auto* buttons = new QDialogButtonBox(this);
    m_cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    m_cmdOK->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_txtLine);
    layout->addWidget(buttons);
    m_txtLine->setFocus();
}

int frmGoToLine::Line() const {
    return m_txtLine->value();
}

} // namespace brindle
