#include "editor/frm_replace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

frmReplace::frmReplace(const ReplaceRequest& last, bool selection, ReplaceActions& actions,
                       QWidget* parent)
    : QDialog(parent), m_actions(actions), m_txtFind(new QLineEdit(last.findWhat, this)),
      m_txtReplace(new QLineEdit(last.replaceWith, this)),
      m_chkMatchCase(new QCheckBox(QStringLiteral("大文字小文字を区別(&C)"), this)),
      m_chkWholeWord(new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this)),
      m_chkRegex(new QCheckBox(QStringLiteral("正規表現(&E)"), this)),
      m_chkSelection(new QCheckBox(QStringLiteral("選択範囲内のみ(&L)"), this)),
      m_cmdFindNext(new QPushButton(QStringLiteral("次を検索"), this)),
      m_cmdReplace(new QPushButton(QStringLiteral("置換"), this)),
      m_cmdReplaceAll(new QPushButton(QStringLiteral("すべて置換"), this)),
      m_cmdClose(new QPushButton(QStringLiteral("閉じる"), this)), m_lblMessage(new QLabel(this)) {
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(QStringLiteral("置換"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtReplace->setObjectName(QStringLiteral("txtReplace"));
    m_lblMessage->setObjectName(QStringLiteral("lblMessage"));
    m_lblMessage->setWordWrap(true);
    m_lblMessage->setTextFormat(Qt::PlainText);

    m_chkMatchCase->setChecked(last.options.matchCase);
    m_chkWholeWord->setChecked(last.options.wholeWord);
    m_chkRegex->setChecked(last.options.regularExpression);
    m_chkSelection->setEnabled(selection);
    m_chkSelection->setChecked(selection && last.inSelection);

    auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N)："), this);
    findLabel->setBuddy(m_txtFind);
    auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P)："), this);
    replaceLabel->setBuddy(m_txtReplace);

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_txtFind, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_txtReplace, 1, 1);
    auto* options = new QVBoxLayout;
    for (QCheckBox* box : {m_chkMatchCase, m_chkWholeWord, m_chkRegex, m_chkSelection})
        options->addWidget(box);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addWidget(m_lblMessage);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_cmdFindNext, m_cmdReplace, m_cmdReplaceAll, m_cmdClose})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    m_cmdFindNext->setDefault(true);
    connect(m_cmdFindNext, &QPushButton::clicked, this, [this] { Act(&ReplaceActions::FindNext); });
    connect(m_cmdReplace, &QPushButton::clicked, this, [this] { Act(&ReplaceActions::Replace); });
    connect(m_cmdReplaceAll, &QPushButton::clicked, this,
            [this] { Act(&ReplaceActions::ReplaceAll); });
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    m_txtFind->selectAll();
    m_txtFind->setFocus();
}

ReplaceRequest frmReplace::Request() const {
    ReplaceRequest request;
    request.findWhat = m_txtFind->text();
    request.replaceWith = m_txtReplace->text();
    request.options.matchCase = m_chkMatchCase->isChecked();
    request.options.wholeWord = m_chkWholeWord->isChecked();
    request.options.regularExpression = m_chkRegex->isChecked();
    request.inSelection = m_chkSelection->isEnabled() && m_chkSelection->isChecked();
    return request;
}

void frmReplace::Act(QString (ReplaceActions::*action)(const ReplaceRequest&)) {
    m_lblMessage->setText((m_actions.*action)(Request()));
}

ReplaceRequest QtReplaceDialogService::Show(QWidget* parent, const ReplaceRequest& last,
                                            bool selection, ReplaceActions& actions) {
    frmReplace dialog(last, selection, actions, parent);
    dialog.exec();
    return dialog.Request();
}

ReplaceDialogService& DefaultReplaceDialogService() {
    static QtReplaceDialogService service;
    return service;
}

} // namespace brindle
