#include "store/frm_restore.h"

#include "store/kept_document_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brindle {

frmRestore::frmRestore(const std::vector<store::KeptDocument>& documents, QWidget* parent)
    : QDialog(parent), m_lblMsg(new QLabel(this)), m_lstQueries(new QTreeWidget(this)),
      m_cmdRestore(new QPushButton(QStringLiteral("復元(&R)"), this)),
      m_cmdDiscard(new QPushButton(QStringLiteral("破棄(&D)"), this)) {
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QStringLiteral("クエリの復元"));
    m_lblMsg->setObjectName(QStringLiteral("lblMsg"));
    m_lblMsg->setText(
        QStringLiteral("前回 Brindle が正しく終了しなかったため、次のクエリが残っています。\n"
                       "復元するクエリにチェックを付けてください。破棄したクエリも、"
                       "[ファイル] の [最近閉じたクエリ] から開けます。"));
    m_lblMsg->setWordWrap(true);

    m_lstQueries->setObjectName(QStringLiteral("lstQueries"));
    m_lstQueries->setRootIsDecorated(false);
    m_lstQueries->setHeaderLabels({QStringLiteral("キャプション"), QStringLiteral("最初の行"),
                                   QStringLiteral("最終変更"), QStringLiteral("サイズ")});
    for (const store::KeptDocument& document : documents) {
        auto* item = new QTreeWidgetItem(m_lstQueries);
        item->setText(0, document.caption);
        item->setText(1, KeptFirstLine(document));
        item->setText(2, KeptTimeText(document.changed));
        item->setText(3, KeptSizeText(document.length));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, document.caption);
        item->setData(0, Qt::UserRole, document.id);
        item->setCheckState(0, Qt::Checked);
    }
    m_lstQueries->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_lstQueries->header()->setStretchLastSection(false);

    m_cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    m_cmdRestore->setDefault(true);
    m_cmdDiscard->setObjectName(QStringLiteral("cmdDiscard"));
    connect(m_cmdRestore, &QPushButton::clicked, this, [this] { cmdRestore_Click(); });
    connect(m_cmdDiscard, &QPushButton::clicked, this, [this] { cmdDiscard_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdRestore);
    buttons->addWidget(m_cmdDiscard);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblMsg);
    layout->addWidget(m_lstQueries);
    layout->addLayout(buttons);
    resize(640, 360);
}

void frmRestore::cmdRestore_Click() {
    m_chosen.clear();
    for (int i = 0; i < m_lstQueries->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_lstQueries->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            m_chosen.push_back(item->data(0, Qt::UserRole).toLongLong());
    }
    accept();
}

void frmRestore::cmdDiscard_Click() {
    m_chosen.clear();
    reject();
}

} // namespace brindle
