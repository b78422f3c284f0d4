#include "core/error.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "editor/rich_text_editor.h"
#include "store/document_journal.h"
#include "store/frm_closed_queries.h"
#include "store/frm_restore.h"
#include "store/journal_reader.h"
#include "store/journal_warnings.h"
#include "store/kept_document_text.h"
#include "store/orphan_claim.h"
#include "store/query_journal.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTextDocument>

#include <algorithm>
#include <iterator>

namespace brindle {

namespace {

// How long a menu or list waits for what was just closed to be written.
constexpr int ListWaitMs = 2000;
constexpr int RecentCount = 10;
constexpr int ClosedKept = 500;

const QString JournalPanel = QStringLiteral("JOURNAL");

// The closed queries of the store: read afresh, deleted through the journal.
class StoreClosedQueries final : public ClosedQueries {
public:
    StoreClosedQueries(store::QueryJournal& journal, store::StorePaths paths)
        : m_journal(journal), m_paths(std::move(paths)) {}

    std::vector<store::KeptDocument> List(const QString& filter) override {
        m_journal.Flush(ListWaitMs);
        return store::JournalReader(m_paths).Closed(ClosedKept, filter);
    }
    std::optional<QString> Text(qint64 id) override {
        return store::JournalReader(m_paths).Text(id);
    }
    void Delete(const std::vector<qint64>& ids) override {
        m_journal.Delete(ids);
        m_journal.Flush(ListWaitMs);
    }

private:
    store::QueryJournal& m_journal;
    store::StorePaths m_paths;
};

// Menus take '&' for an access key.
QString MenuText(const QString& text) {
    QString escaped = text;
    return escaped.replace(u'&', QStringLiteral("&&"));
}

} // namespace

void frmMain::AttachJournal(frmSQL& doc, const store::KeptDocument* kept, const QString& keptText) {
    store::QueryJournal* journal = m_services.journal;
    if (!journal)
        return;
    QTextDocument& text = *doc.txtQry()->document();
    const QString shown = DocumentJournal::TextOf(text, 0, text.characterCount() - 1);
    store::QueryJournal::Key key = 0;
    if (kept) {
        // The kept row goes on as this document; it is not copied.
        key = journal->Adopt(kept->id, doc.Caption());
        if (shown != keptText)
            journal->Replace(key, shown);
    } else {
        key = journal->Open(doc.Caption(), shown);
    }
    auto* follower = new DocumentJournal(*journal, key, text, doc);
    connect(&doc, &frmSQL::Unloaded, follower, &DocumentJournal::Close);
}

frmSQL* frmMain::LoadKeptDoc(const store::KeptDocument& kept, const QString& text) {
    return LoadDoc(&kept, text);
}

void frmMain::RestoreCrashedQueries() {
    store::QueryJournal* journal = m_services.journal;
    if (!journal)
        return;
    // This instance's own session must be there before the others are looked at.
    journal->Flush();
    store::OrphanClaim claim = store::OrphanClaim::Take(m_services.store, journal->Session());
    // A document left blank is nothing to restore.
    std::vector<store::KeptDocument> kept;
    std::copy_if(claim.Documents().begin(), claim.Documents().end(), std::back_inserter(kept),
                 [](const store::KeptDocument& d) { return !d.firstLine.isEmpty(); });
    if (kept.empty()) {
        journal->DiscardSessions(claim.Sessions());
        journal->Flush();
        return;
    }
    frmRestore dialog(kept, this);
    m_services.modal->Run(dialog);
    const std::vector<qint64> chosen = dialog.Chosen();
    if (!chosen.empty()) {
        // A store that cannot be read now keeps its sessions for the next start.
        store::JournalReader reader(m_services.store);
        // Listed newest first; opened oldest first, so the newest is active.
        for (auto id = chosen.rbegin(); id != chosen.rend(); ++id) {
            const auto document =
                std::find_if(kept.begin(), kept.end(), [&](const auto& d) { return d.id == *id; });
            if (document == kept.end())
                continue;
            if (const std::optional<QString> text = reader.Text(*id))
                LoadKeptDoc(*document, *text);
        }
    }
    // What was not restored stays among the closed queries.
    journal->DiscardSessions(claim.Sessions());
    journal->Flush();
}

void frmMain::ShowJournalProblem(const store::JournalProblem& problem) {
    QLabel* panel = Panel(JournalPanel);
    switch (problem.kind) {
    case store::JournalProblem::Kind::Resumed:
        if (panel) {
            panel->clear();
            panel->hide();
        }
        return;
    case store::JournalProblem::Kind::Unavailable:
    case store::JournalProblem::Kind::WriteFailed:
        if (panel) {
            panel->setText(QStringLiteral("クエリ未保存"));
            panel->setToolTip(JournalProblemText(problem));
            panel->show();
        }
        break;
    case store::JournalProblem::Kind::MovedAside:
        break;
    }
    mMsg.ShowMessage(JournalProblemText(problem));
}

void frmMain::BuildRecentMenu() {
    QMenu* file = Menu(QStringLiteral("mnuFile"));
    if (!file)
        return;
    m_recentMenu = new QMenu(QStringLiteral("最近閉じたクエリ(&R)"), file);
    m_recentMenu->setObjectName(QStringLiteral("mnuFileRecent"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("mnuFileRecent"));
    // Between the save command and the separator above 終了.
    file->insertMenu(MenuItem(QStringLiteral("mnuFileBar3")), m_recentMenu);
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
}

void frmMain::FillRecentMenu() {
    m_recentMenu->clear();
    std::vector<store::KeptDocument> recent;
    store::QueryJournal* journal = m_services.journal;
    if (journal) {
        journal->Flush(ListWaitMs);
        try {
            recent = store::JournalReader(m_services.store).Closed(RecentCount);
        } catch (const Error&) {
            // No store yet, or none readable: nothing to list.
        }
    }
    if (recent.empty())
        m_recentMenu->addAction(QStringLiteral("(閉じたクエリはありません)"))->setEnabled(false);
    for (const store::KeptDocument& document : recent) {
        QAction* action = m_recentMenu->addAction(MenuText(KeptFirstLine(document, 50)) + u'\t' +
                                                  KeptTimeText(document.closed));
        action->setToolTip(document.caption);
        connect(action, &QAction::triggered, this, [this, document] { ReopenClosed(document); });
    }
    m_recentMenu->addSeparator();
    QAction* all = m_recentMenu->addAction(QStringLiteral("すべて表示..."));
    all->setObjectName(QStringLiteral("mnuFileRecentAll"));
    all->setEnabled(journal != nullptr);
    connect(all, &QAction::triggered, this, [this] { ShowClosedQueries(); });
}

void frmMain::ReopenClosed(const store::KeptDocument& kept) {
    try {
        const std::optional<QString> text = store::JournalReader(m_services.store).Text(kept.id);
        if (!text) {
            mMsg.ShowMessage(QStringLiteral("このクエリは既に削除されています。"));
            return;
        }
        LoadKeptDoc(kept, *text);
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
    }
}

void frmMain::ShowClosedQueries() {
    store::QueryJournal* journal = m_services.journal;
    if (!journal)
        return;
    try {
        StoreClosedQueries queries(*journal, m_services.store);
        frmClosedQueries dialog(queries, mMsg, this);
        if (m_services.modal->Run(dialog) != QDialog::Accepted)
            return;
        const std::vector<qint64> chosen = dialog.Chosen();
        const std::vector<store::KeptDocument> listed = queries.List(QString());
        for (auto id = chosen.rbegin(); id != chosen.rend(); ++id) {
            const auto document = std::find_if(listed.begin(), listed.end(),
                                               [&](const auto& d) { return d.id == *id; });
            if (document != listed.end())
                ReopenClosed(*document);
        }
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
    }
}

} // namespace brindle
