#include "colour/frm_search.h"

#include "colour/search_word.h"
#include "core/app_info.h"
#include "core/error.h"
#include "core/numeric_text.h"
#include "shell/process_state.h"
#include "editor/rich_text_editor.h"
#include "core/settings_store.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace brindle {

frmSearch::frmSearch(QWidget* parent)
    : QDialog(parent), m_imgIcon(new QLabel(this)),
      m_lblMsg(new QLabel(QStringLiteral("文字列を検索"), this)),
      m_lblSearch(new QLabel(QStringLiteral("検索(&N)："), this)), m_txtWord(new QLineEdit(this)),
      m_chkUpperConv(new QCheckBox(QStringLiteral("大文字小文字を区別(&C)"), this)),
      m_cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      m_cmdCancel(new QPushButton(QStringLiteral("キャンセル"), this)) {
    setWindowTitle(QStringLiteral("検索"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_txtWord->setObjectName(QStringLiteral("txtWord"));
    m_chkUpperConv->setObjectName(QStringLiteral("chkUpperConv"));
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_imgIcon->setPixmap(QIcon(QStringLiteral(":/icons/search.png")).pixmap(16, 16));
    m_lblSearch->setBuddy(m_txtWord);
    m_cmdOK->setDefault(true);
    m_txtWord->setMinimumWidth(240);

    auto* grid = new QGridLayout(this);
    auto* heading = new QHBoxLayout;
    heading->addWidget(m_imgIcon);
    heading->addWidget(m_lblMsg, 1);
    grid->addLayout(heading, 0, 0, 1, 2);
    grid->addWidget(m_lblSearch, 1, 0);
    grid->addWidget(m_txtWord, 1, 1);
    grid->addWidget(m_chkUpperConv, 2, 1);
    auto* buttons = new QHBoxLayout; // fraBtn
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmSearch::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSearch::cmdCancel_Click);
    Form_Load();
}

void frmSearch::Form_Load() {
    try {
        m_txtWord->setText(gstrSearchWord);
        const QString stored = GetSetting(AppTitle(), QStringLiteral("SEARCH"),
                                          QStringLiteral("UPPER"), QStringLiteral("0"));
        m_chkUpperConv->setChecked(ToWholeNumber(stored) == 1);
    } catch (const Error&) {
        // An unreadable setting leaves the box unticked.
    }
}

void frmSearch::cmdOK_Click() {
    try {
        SaveSetting(AppTitle(), QStringLiteral("SEARCH"), QStringLiteral("UPPER"),
                    m_chkUpperConv->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    } catch (const Error&) {
    }
    gstrSearchWord = m_txtWord->text();
    gblnUpperConv = !m_chkUpperConv->isChecked();
    accept();
}

void frmSearch::cmdCancel_Click() {
    reject();
}

void SearchWord(RichTextEditor& editor, qsizetype start, const QString& word, bool ignoreCase) {
    try {
        const qsizetype found = FindWord(editor.Text(), start, word, ignoreCase);
        if (found <= 0)
            return;
        editor.setSelStart(static_cast<int>(found - 1));
        editor.setSelLength(static_cast<int>(word.size()));
    } catch (const Error&) {
    }
}

} // namespace brindle
