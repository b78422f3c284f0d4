#include "data/frm_timeout.h"

#include "data/command.h"
#include "data/timeout_field.h"
#include "core/error.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

frmTimeout::frmTimeout(Command& command, QWidget* parent)
    : QDialog(parent), m_command(command), m_imgIcon(new QLabel(this)),
      m_lblMsg(new QLabel(QStringLiteral("クエリ タイムアウト時間を入力"), this)),
      m_txtTimeout(new TimeoutField(this)), m_cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      m_cmdCancel(new QPushButton(QStringLiteral("キャンセル"), this)) {
    setWindowTitle(QStringLiteral("クエリ タイムアウト"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_txtTimeout->setObjectName(QStringLiteral("txtTimeout"));
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_imgIcon->setPixmap(QIcon(QStringLiteral(":/icons/timeout.png")).pixmap(16, 16));
    m_cmdOK->setDefault(true);
    m_cmdOK->setAutoDefault(true);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QHBoxLayout;
    heading->addWidget(m_imgIcon);
    heading->addWidget(m_lblMsg, 1);
    layout->addLayout(heading);
    layout->addWidget(m_txtTimeout);
    auto* buttons = new QHBoxLayout; // fraBtn
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());

    connect(m_cmdOK, &QPushButton::clicked, this, &frmTimeout::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmTimeout::cmdCancel_Click);

    // Form_Load
    m_txtTimeout->setText(QString::number(m_command.CommandTimeout()));
    m_txtTimeout->setFocus();
}

void frmTimeout::cmdOK_Click() {
    // Typed input is always digits; text pasted through the context menu is
    // applied only when it is a whole number the command accepts.
    bool ok = false;
    const int seconds = m_txtTimeout->text().toInt(&ok);
    if (ok) {
        try {
            m_command.setCommandTimeout(seconds);
        } catch (const Error&) {
        }
    }
    accept();
}

void frmTimeout::cmdCancel_Click() {
    reject();
}

} // namespace brindle
