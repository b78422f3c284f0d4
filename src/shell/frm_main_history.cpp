#include "core/error.h"
#include "data/connection.h"
#include "data/connection_string.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "editor/rich_text_editor.h"
#include "store/frm_history.h"
#include "store/query_history.h"
#include "store/stored_history.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <memory>

namespace brindle {

namespace {

// How long the window waits for the runs just recorded to be written before
// it lists them.
constexpr int ListWaitMs = 2000;

const QString JournalPanel = QStringLiteral("JOURNAL");

QString HistoryProblemText(const store::JournalProblem& problem) {
    using Kind = store::JournalProblem::Kind;
    switch (problem.kind) {
    case Kind::MovedAside:
    case Kind::Resumed:
        return {};
    case Kind::Unavailable:
        return QStringLiteral("クエリ履歴の保存先を開けません。実行したクエリは履歴に残りません"
                              "が、実行には影響しません。\n") +
               problem.detail;
    case Kind::WriteFailed:
        return QStringLiteral("クエリ履歴を保存できません。ディスクの空きを確認してください。"
                              "実行には影響しません。\n") +
               problem.detail;
    }
    return {};
}

} // namespace

void frmMain::BuildHistoryMenu() {
    QMenu* query = Menu(QStringLiteral("mnuQry"));
    if (!query)
        return;
    query->addSeparator()->setObjectName(QStringLiteral("mnuQryBar3"));
    QAction* history = query->addAction(QStringLiteral("クエリ履歴(&H)..."));
    history->setObjectName(QStringLiteral("mnuQryHistory"));
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    history->setShortcutContext(Qt::WindowShortcut);
    connect(history, &QAction::triggered, this, [this] { mnuQryHistory_Click(); });
}

void frmMain::ShowHistoryProblem(const store::JournalProblem& problem) {
    const QString text = HistoryProblemText(problem);
    if (text.isEmpty())
        return;
    // A store the journal has already told about is not told about twice.
    if (const QLabel* panel = Panel(JournalPanel); panel && panel->isVisible())
        return;
    mMsg.ShowMessage(text);
}

frmSQL* frmMain::LoadTextDoc(const QString& text) {
    return LoadDoc(nullptr, text);
}

void frmMain::mnuQryHistory_Click() {
    std::unique_ptr<store::StoredHistory> source;
    QString unavailable;
    if (store::HistoryRecorder* recorder = m_services.history) {
        recorder->Flush(ListWaitMs);
        try {
            source = std::make_unique<store::StoredHistory>(m_services.store);
        } catch (const Error& e) {
            unavailable = e.description();
        }
    }
    frmHistory dialog(source.get(), unavailable, mMsg, this);
    if (m_services.modal->Run(dialog) != QDialog::Accepted)
        return;
    try {
        const QStringList texts = dialog.ChosenTexts();
        if (dialog.Chosen() == frmHistory::Action::Insert && ActiveForm()) {
            ActiveForm()->txtQry()->InsertPlainText(texts.join(u'\n'));
            ActiveForm()->txtQry()->setFocus();
            return;
        }
        for (const QString& text : texts)
            LoadTextDoc(text);
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
    }
}

} // namespace brindle
