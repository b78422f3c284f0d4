#include "store/frm_closed_queries.h"

#include "core/error.h"
#include "shell/cls_msg.h"
#include "store/kept_document_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brindle {

namespace {

// A preview longer than this shows its beginning: a 20 MB dump is not laid
// out just to be glanced at.
constexpr qsizetype PreviewChars = 200'000;
constexpr int FilterPauseMs = 150;

} // namespace

frmClosedQueries::frmClosedQueries(ClosedQueries& queries, const clsMsg& messages, QWidget* parent)
    : QDialog(parent), m_queries(queries), m_messages(messages), m_txtFilter(new QLineEdit(this)),
      m_lstQueries(new QTreeWidget(this)), m_txtPreview(new QPlainTextEdit(this)),
      m_cmdOpen(new QPushButton(QStringLiteral("開く(&O)"), this)),
      m_cmdDelete(new QPushButton(QStringLiteral("削除(&D)"), this)),
      m_cmdClose(new QPushButton(QStringLiteral("閉じる"), this)), m_filterPause(new QTimer(this)) {
    setObjectName(QStringLiteral("frmClosedQueries"));
    setWindowTitle(QStringLiteral("閉じたクエリ"));

    auto* lblFilter = new QLabel(QStringLiteral("絞り込み(&F):"), this);
    lblFilter->setBuddy(m_txtFilter);
    m_txtFilter->setObjectName(QStringLiteral("txtFilter"));
    m_txtFilter->setClearButtonEnabled(true);
    m_txtFilter->setPlaceholderText(QStringLiteral("キャプションまたはクエリの文字列"));
    m_filterPause->setSingleShot(true);
    m_filterPause->setInterval(FilterPauseMs);
    connect(m_txtFilter, &QLineEdit::textChanged, m_filterPause, qOverload<>(&QTimer::start));
    connect(m_filterPause, &QTimer::timeout, this, [this] { Refill(); });

    m_lstQueries->setObjectName(QStringLiteral("lstQueries"));
    m_lstQueries->setRootIsDecorated(false);
    m_lstQueries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstQueries->setHeaderLabels({QStringLiteral("閉じた日時"), QStringLiteral("キャプション"),
                                   QStringLiteral("最初の行"), QStringLiteral("サイズ")});
    m_lstQueries->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_lstQueries, &QTreeWidget::itemSelectionChanged, this, [this] { ShowSelected(); });
    connect(m_lstQueries, &QTreeWidget::itemActivated, this, [this] { cmdOpen_Click(); });

    m_txtPreview->setObjectName(QStringLiteral("txtPreview"));
    m_txtPreview->setReadOnly(true);
    m_txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    m_cmdOpen->setDefault(true);
    m_cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(m_cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(m_cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* filter = new QHBoxLayout;
    filter->addWidget(lblFilter);
    filter->addWidget(m_txtFilter);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_lstQueries);
    split->addWidget(m_txtPreview);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOpen);
    buttons->addWidget(m_cmdDelete);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(split);
    layout->addLayout(buttons);
    resize(720, 480);
    Refill();
}

void frmClosedQueries::Refill() {
    m_filterPause->stop();
    std::vector<store::KeptDocument> documents;
    try {
        documents = m_queries.List(m_txtFilter->text());
    } catch (const Error& e) {
        m_messages.ShowError(e.description());
    }
    m_lstQueries->clear();
    for (const store::KeptDocument& document : documents) {
        auto* item = new QTreeWidgetItem(m_lstQueries);
        item->setText(0, KeptTimeText(document.closed));
        item->setText(1, document.caption);
        item->setText(2, KeptFirstLine(document));
        item->setText(3, KeptSizeText(document.length));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(1, document.caption);
        item->setData(0, Qt::UserRole, document.id);
    }
    if (m_lstQueries->topLevelItemCount() > 0)
        m_lstQueries->setCurrentItem(m_lstQueries->topLevelItem(0));
    ShowSelected();
}

std::vector<qint64> frmClosedQueries::SelectedIds() const {
    std::vector<qint64> ids;
    for (int i = 0; i < m_lstQueries->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_lstQueries->topLevelItem(i);
        if (item->isSelected())
            ids.push_back(item->data(0, Qt::UserRole).toLongLong());
    }
    return ids;
}

void frmClosedQueries::ShowSelected() {
    const std::vector<qint64> ids = SelectedIds();
    m_cmdOpen->setEnabled(!ids.empty());
    m_cmdDelete->setEnabled(!ids.empty());
    QString preview;
    if (ids.size() == 1) {
        try {
            preview = m_queries.Text(ids.front()).value_or(QString());
        } catch (const Error& e) {
            preview = e.description();
        }
        if (preview.size() > PreviewChars)
            preview = preview.left(PreviewChars) + QStringLiteral("\n…");
    }
    m_txtPreview->setPlainText(preview);
}

void frmClosedQueries::cmdOpen_Click() {
    m_chosen = SelectedIds();
    if (!m_chosen.empty())
        accept();
}

void frmClosedQueries::cmdDelete_Click() {
    const std::vector<qint64> ids = SelectedIds();
    if (ids.empty())
        return;
    const QString question =
        ids.size() == 1
            ? QStringLiteral("選択したクエリを削除しますか? 削除したクエリは元に戻せません。")
            : QStringLiteral(
                  "選択した %1 件のクエリを削除しますか? 削除したクエリは元に戻せません。")
                  .arg(ids.size());
    if (m_messages.ShowQuestion(question) != 6)
        return;
    try {
        m_queries.Delete(ids);
    } catch (const Error& e) {
        m_messages.ShowError(e.description());
    }
    Refill();
}

} // namespace brindle
