#include "store/frm_history.h"

#include "core/error.h"
#include "shell/cls_msg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace brindle {

namespace {

// A preview longer than this shows its beginning: a 10 MB batch is not laid
// out just to be glanced at.
constexpr qsizetype PreviewChars = 200'000;
constexpr int YesAnswer = 6;

} // namespace

frmHistory::frmHistory(store::HistorySource* source, const QString& unavailable,
                       const clsMsg& messages, QWidget* parent)
    : QDialog(parent), m_source(source), m_messages(messages), m_txtFilter(new QLineEdit(this)),
      m_cboDataSource(new QComboBox(this)),
      m_chkFailures(new QCheckBox(QStringLiteral("エラーのみ(&E)"), this)),
      m_lstHistory(new QTableView(this)), m_txtPreview(new QPlainTextEdit(this)),
      m_lblMessage(new QLabel(this)),
      m_cmdClear(new QPushButton(QStringLiteral("すべて削除(&A)"), this)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("クエリ履歴"));

    auto* lblFilter = new QLabel(QStringLiteral("絞り込み(&F):"), this);
    lblFilter->setBuddy(m_txtFilter);
    m_txtFilter->setObjectName(QStringLiteral("txtFilter"));
    m_txtFilter->setClearButtonEnabled(true);
    m_txtFilter->setPlaceholderText(QStringLiteral("クエリの文字列"));
    auto* lblDataSource = new QLabel(QStringLiteral("データ ソース(&S):"), this);
    lblDataSource->setBuddy(m_cboDataSource);
    m_cboDataSource->setObjectName(QStringLiteral("cboDataSource"));
    m_cboDataSource->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_chkFailures->setObjectName(QStringLiteral("chkFailures"));

    m_lstHistory->setObjectName(QStringLiteral("lstHistory"));
    m_lstHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstHistory->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstHistory->setShowGrid(false);
    m_lstHistory->setWordWrap(false);
    m_lstHistory->verticalHeader()->hide();
    m_lstHistory->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_lstHistory->horizontalHeader()->setStretchLastSection(true);
    m_lstHistory->horizontalHeader()->setHighlightSections(false);

    m_txtPreview->setObjectName(QStringLiteral("txtPreview"));
    m_txtPreview->setReadOnly(true);
    m_txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_lblMessage->setObjectName(QStringLiteral("lblMessage"));
    m_lblMessage->setWordWrap(true);
    m_lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblMessage->hide();

    const auto button = [this](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    QPushButton* cmdOpen = button(QStringLiteral("開く(&O)"), "cmdOpen");
    QPushButton* cmdInsert = button(QStringLiteral("挿入(&I)"), "cmdInsert");
    QPushButton* cmdCopy = button(QStringLiteral("コピー(&C)"), "cmdCopy");
    QPushButton* cmdDelete = button(QStringLiteral("削除(&D)"), "cmdDelete");
    QPushButton* cmdClose = button(QStringLiteral("閉じる"), "cmdClose");
    m_cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdOpen->setDefault(true);
    cmdOpen->setToolTip(QStringLiteral("新しいクエリとして開きます (Enter)"));
    cmdInsert->setToolTip(QStringLiteral("作業中のクエリのカーソル位置に挿入します (Ctrl+Enter)"));
    m_entryButtons = {cmdOpen, cmdInsert, cmdCopy, cmdDelete};
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdInsert, &QPushButton::clicked, this, [this] { cmdInsert_Click(); });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(m_cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    // The list's own keys: Enter opens (activated), the others act on the
    // selected entries.
    m_lstHistory->installEventFilter(this);
    m_txtFilter->installEventFilter(this);
    connect(m_lstHistory, &QTableView::activated, this, [this] { cmdOpen_Click(); });

    auto* filter = new QHBoxLayout;
    filter->addWidget(lblFilter);
    filter->addWidget(m_txtFilter, 1);
    filter->addWidget(lblDataSource);
    filter->addWidget(m_cboDataSource);
    filter->addWidget(m_chkFailures);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_lstHistory);
    split->addWidget(m_txtPreview);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdClear);
    buttons->addStretch();
    for (QPushButton* b : m_entryButtons)
        buttons->addWidget(b);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(split, 1);
    layout->addWidget(m_lblMessage);
    layout->addLayout(buttons);
    resize(820, 560);

    if (!m_source) {
        ShowUnavailable(unavailable);
        return;
    }
    m_model = new store::HistoryListModel(*m_source, this);
    m_lstHistory->setModel(m_model);
    connect(m_lstHistory->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowSelected(); });
    m_cboDataSource->addItem(QStringLiteral("(すべて)"));
    try {
        m_cboDataSource->addItems(m_source->DataSources());
    } catch (const Error& e) {
        ShowUnavailable(e.description());
        return;
    }
    // Every keystroke lists at once: a page costs milliseconds whatever the
    // history holds.
    connect(m_txtFilter, &QLineEdit::textChanged, this, [this] { Refill(); });
    connect(m_cboDataSource, &QComboBox::currentIndexChanged, this, [this] { Refill(); });
    connect(m_chkFailures, &QCheckBox::toggled, this, [this] { Refill(); });
    Refill();
    // Columns sized once from the first page, so that later pages and
    // filters do not make them jump.
    for (int column = 0; column < store::HistoryListModel::FirstLineColumn; ++column)
        m_lstHistory->resizeColumnToContents(column);
    m_txtFilter->setFocus();
}

bool frmHistory::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_txtFilter) {
        // Moving through the list while typing the filter, as in a search box.
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_lstHistory, event);
            return true;
        default:
            return QDialog::eventFilter(watched, event);
        }
    }
    if (watched != m_lstHistory)
        return QDialog::eventFilter(watched, event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && key->modifiers().testFlag(Qt::ControlModifier)) {
        cmdInsert_Click();
        return true;
    }
    if (key->matches(QKeySequence::Copy)) {
        cmdCopy_Click();
        return true;
    }
    if (key->matches(QKeySequence::Delete)) {
        cmdDelete_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmHistory::ShowUnavailable(const QString& why) {
    m_source = nullptr;
    m_lstHistory->setEnabled(false);
    m_txtFilter->setEnabled(false);
    m_cboDataSource->setEnabled(false);
    m_chkFailures->setEnabled(false);
    m_cmdClear->setEnabled(false);
    for (QPushButton* b : m_entryButtons)
        b->setEnabled(false);
    m_lblMessage->setText(QStringLiteral("クエリ履歴を使用できません。") +
                          (why.isEmpty() ? QString() : u'\n' + why));
    m_lblMessage->show();
}

void frmHistory::Refill() {
    if (!m_model)
        return;
    store::HistoryFilter filter;
    filter.search = m_txtFilter->text();
    if (m_cboDataSource->currentIndex() > 0)
        filter.dsn = m_cboDataSource->currentText();
    filter.failuresOnly = m_chkFailures->isChecked();
    try {
        m_model->SetFilter(filter);
    } catch (const Error& e) {
        ShowUnavailable(e.description());
        return;
    }
    // Not selectRow: it reads the keys held down, and the shortcut that
    // opened the window may still be.
    if (m_model->rowCount() > 0)
        m_lstHistory->selectionModel()->setCurrentIndex(
            m_model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ShowSelected();
}

std::vector<qint64> frmHistory::SelectedIds() const {
    std::vector<qint64> ids;
    if (!m_model)
        return ids;
    QModelIndexList rows = m_lstHistory->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() > b.row(); });
    for (const QModelIndex& row : rows)
        ids.push_back(m_model->Entry(row.row()).id);
    return ids; // the list is newest first: bottom up is oldest first
}

QStringList frmHistory::SelectedTexts() {
    QStringList texts;
    try {
        for (const qint64 id : SelectedIds()) {
            if (const std::optional<QString> text = m_source->Text(id))
                texts << *text;
        }
    } catch (const Error& e) {
        m_messages.ShowError(e.description());
        return {};
    }
    if (texts.isEmpty() && !SelectedIds().empty())
        m_messages.ShowMessage(QStringLiteral("この履歴は既に削除されています。"));
    return texts;
}

void frmHistory::ShowSelected() {
    const QModelIndexList rows =
        m_model ? m_lstHistory->selectionModel()->selectedRows() : QModelIndexList();
    for (QPushButton* b : m_entryButtons)
        b->setEnabled(!rows.isEmpty());
    m_cmdClear->setEnabled(m_model && m_model->rowCount() > 0);
    QString preview;
    QString error;
    if (rows.size() == 1) {
        const store::HistoryEntry& entry = m_model->Entry(rows.front().row());
        try {
            preview = m_source->Text(entry.id).value_or(QString());
        } catch (const Error& e) {
            preview = e.description();
        }
        if (preview.size() > PreviewChars)
            preview = preview.left(PreviewChars) + QStringLiteral("\n…");
        if (!entry.error.isEmpty())
            error = QStringLiteral("エラー: ") + entry.error;
    }
    m_txtPreview->setPlainText(preview);
    m_lblMessage->setText(error);
    m_lblMessage->setVisible(!error.isEmpty());
}

void frmHistory::Choose(Action action) {
    if (!m_source)
        return;
    const QStringList texts = SelectedTexts();
    if (texts.isEmpty())
        return;
    m_action = action;
    m_texts = texts;
    accept();
}

void frmHistory::cmdOpen_Click() {
    Choose(Action::Open);
}

void frmHistory::cmdInsert_Click() {
    Choose(Action::Insert);
}

void frmHistory::cmdCopy_Click() {
    if (!m_source)
        return;
    const QStringList texts = SelectedTexts();
    if (!texts.isEmpty())
        QApplication::clipboard()->setText(texts.join(u'\n'));
}

void frmHistory::cmdDelete_Click() {
    const std::vector<qint64> ids = SelectedIds();
    if (!m_source || ids.empty())
        return;
    const QString question =
        ids.size() == 1 ? QStringLiteral("選択した履歴を削除しますか?")
                        : QStringLiteral("選択した %1 件の履歴を削除しますか?").arg(ids.size());
    if (m_messages.ShowQuestion(question) != YesAnswer)
        return;
    try {
        m_source->Delete(ids);
    } catch (const Error& e) {
        m_messages.ShowError(e.description());
    }
    Refill();
}

void frmHistory::cmdClear_Click() {
    if (!m_source)
        return;
    if (m_messages.ShowQuestion(QStringLiteral(
            "クエリ履歴をすべて削除しますか? 削除した履歴は元に戻せません。")) != YesAnswer)
        return;
    try {
        m_source->Clear();
    } catch (const Error& e) {
        m_messages.ShowError(e.description());
    }
    Refill();
}

} // namespace brindle
