#include "data/frm_connect.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

frmConnect::frmConnect(QWidget* parent)
    : QDialog(parent), m_cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      m_cmdCancel(new QPushButton(QStringLiteral("キャンセル"), this)) {
    setWindowTitle(QStringLiteral("データ ソース接続"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdOK->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("データソース接続情報"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmConnect::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmConnect::cmdCancel_Click);
}

void frmConnect::cmdOK_Click() {
    accept();
}

void frmConnect::cmdCancel_Click() {
    reject();
}

} // namespace brindle
