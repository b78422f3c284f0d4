#include "data/frm_connect.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/odbc_data_sources.h"
#include "core/app_info.h"
#include "core/error.h"
#include "core/error_steps.h"
#include "shell/process_state.h"
#include "core/settings_store.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

namespace {

const QString& DesignUid() {
    // The design-time text of the login field; it sets the width of both
    // fields and is replaced before the dialog is shown.
    static const QString text = QStringLiteral("12345678901234567890123456789012");
    return text;
}

QString Setting(const char16_t* key) {
    return GetSetting(AppTitle(), QStringLiteral("CONNECT"), QString::fromUtf16(key), QString());
}

void StoreSetting(const char16_t* key, const QString& value) {
    SaveSetting(AppTitle(), QStringLiteral("CONNECT"), QString::fromUtf16(key), value);
}

} // namespace

frmConnect::frmConnect(MessageBoxService& boxes, QWidget* parent)
    : QDialog(parent), mMsg(boxes), m_imgIcon(new QLabel(this)),
      m_lblMsg(new QLabel(QStringLiteral("データソース接続情報"), this)),
      m_fraDSN(new QGroupBox(this)),
      m_lblDSN(new QLabel(QStringLiteral("データソース名(&S)："), m_fraDSN)),
      m_cboDSNList(new QComboBox(m_fraDSN)),
      m_lblUID(new QLabel(QStringLiteral("ログイン名(&L)："), m_fraDSN)),
      m_txtUID(new QLineEdit(DesignUid(), m_fraDSN)),
      m_lblPWD(new QLabel(QStringLiteral("パスワード(&P)："), m_fraDSN)),
      m_txtPWD(new QLineEdit(m_fraDSN)), m_fraBtn(new QFrame(this)),
      m_cmdOK(new QPushButton(QStringLiteral("OK"), m_fraBtn)),
      m_cmdCancel(new QPushButton(QStringLiteral("キャンセル"), m_fraBtn)) {
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("データ ソース接続"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    m_imgIcon->setObjectName(QStringLiteral("imgIcon"));
    m_lblMsg->setObjectName(QStringLiteral("lblMsg"));
    m_fraDSN->setObjectName(QStringLiteral("fraDSN"));
    m_lblDSN->setObjectName(QStringLiteral("lblDSN"));
    m_cboDSNList->setObjectName(QStringLiteral("cboDSNList"));
    m_lblUID->setObjectName(QStringLiteral("lblUID"));
    m_txtUID->setObjectName(QStringLiteral("txtUID"));
    m_lblPWD->setObjectName(QStringLiteral("lblPWD"));
    m_txtPWD->setObjectName(QStringLiteral("txtPWD"));
    m_fraBtn->setObjectName(QStringLiteral("fraBtn"));
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    m_imgIcon->setPixmap(QIcon(QStringLiteral(":/icons/connect.png")).pixmap(16, 16));
    m_imgIcon->setFixedSize(16, 16);

    m_cboDSNList->setEditable(true);
    // Enter is the OK button, not "add the typed name to the list".
    m_cboDSNList->setInsertPolicy(QComboBox::NoInsert);
    // No completion: a name that begins a longer listed one must stay what
    // was typed, since that is what connects and is remembered.
    m_cboDSNList->setCompleter(nullptr);
    m_cboDSNList->setEditText(QStringLiteral("cboDSNList"));
    const int fieldWidth =
        m_txtUID->fontMetrics().horizontalAdvance(DesignUid()) + m_txtUID->sizeHint().height();
    m_cboDSNList->setMinimumWidth(fieldWidth);
    m_txtUID->setMinimumWidth(fieldWidth);
    m_txtPWD->setMinimumWidth(fieldWidth);

    m_txtPWD->setEchoMode(QLineEdit::Password);
    // "*" for every character where the style lets a widget choose it.
    m_txtPWD->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    // No input-method editor: composition would show the typed text.
    m_txtPWD->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_txtPWD->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData |
                                  Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);

    m_lblDSN->setBuddy(m_cboDSNList);
    m_lblUID->setBuddy(m_txtUID);
    m_lblPWD->setBuddy(m_txtPWD);

    m_cmdOK->setDefault(true);
    m_cmdOK->setAutoDefault(true);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QHBoxLayout;
    heading->addWidget(m_imgIcon);
    heading->addWidget(m_lblMsg, 1);
    layout->addLayout(heading);

    auto* fields = new QGridLayout(m_fraDSN);
    fields->addWidget(m_lblDSN, 0, 0);
    fields->addWidget(m_cboDSNList, 0, 1);
    fields->addWidget(m_lblUID, 1, 0);
    fields->addWidget(m_txtUID, 1, 1);
    fields->addWidget(m_lblPWD, 2, 0);
    fields->addWidget(m_txtPWD, 2, 1);
    layout->addWidget(m_fraDSN);

    m_fraBtn->setFrameShape(QFrame::NoFrame);
    auto* buttons = new QHBoxLayout(m_fraBtn);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    layout->addWidget(m_fraBtn);

    setTabOrder(m_cboDSNList, m_txtUID);
    setTabOrder(m_txtUID, m_txtPWD);
    setTabOrder(m_txtPWD, m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);

    setFixedSize(sizeHint());

    connect(m_cmdOK, &QPushButton::clicked, this, &frmConnect::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmConnect::cmdCancel_Click);

    Form_Load();
    m_cboDSNList->setFocus();
}

void frmConnect::GetDSNsAndDrivers() {
    Step([this] { m_cboDSNList->addItems(DataSourceNames()); });
}

void frmConnect::Form_Load() {
    GetDSNsAndDrivers();
    const QString dsn = Setting(u"DSN");
    m_cboDSNList->setCurrentIndex(m_cboDSNList->findText(dsn, Qt::MatchExactly));
    m_cboDSNList->setEditText(dsn);
    m_txtUID->setText(Setting(u"UID"));
    m_txtPWD->clear();
}

bool frmConnect::ConnectDataSource() {
    try {
        Connection& connection = *gcnDB;
        if (connection.State() != 0)
            connection.Close();
        const QString text =
            BuildConnectionString(m_cboDSNList->currentText(), m_txtUID->text(), m_txtPWD->text());
        connection.setProvider(QStringLiteral("MSDASQL"));
        connection.setConnectionString(text);
        connection.Open();
        return true;
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
        return false;
    }
}

void frmConnect::cmdOK_Click() {
    if (!ConnectDataSource())
        return;
    gstrDSN = m_cboDSNList->currentText();
    accept();
}

void frmConnect::cmdCancel_Click() {
    reject();
}

void frmConnect::done(int result) {
    Form_QueryUnload();
    QDialog::done(result);
}

void frmConnect::Form_QueryUnload() {
    // A settings file that cannot be written must not keep the dialog open.
    Step([this] { StoreSetting(u"DSN", m_cboDSNList->currentText()); });
    Step([this] { StoreSetting(u"UID", m_txtUID->text()); });
}

} // namespace brindle
