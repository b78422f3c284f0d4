#include "shell/frm_main.h"

#include "core/error.h"
#include "data/export_progress_dialog.h"
#include "data/recordset.h"
#include "data/result_save.h"
#include "data/result_save_dialog.h"
#include "shell/frm_sql.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStandardPaths>

namespace brindle {

namespace {

// A name for the saved result from the document's caption, which may hold
// characters no file name can.
QString SuggestedName(const frmSQL& doc) {
    QString name = doc.Caption();
    for (QChar& c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32)
            c = u'_';
    }
    if (name.trimmed().isEmpty())
        name = QStringLiteral("結果");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(name + u".csv");
}

} // namespace

void frmMain::BuildResultCommands() {
    if (QMenu* tool = Menu(QStringLiteral("mnuTool"))) {
        QAction* save = tool->addAction(QStringLiteral("結果を保存(&V)..."));
        save->setObjectName(QStringLiteral("mnuToolSaveResult"));
        connect(save, &QAction::triggered, this, [this] { mnuToolSaveResult_Click(); });
        m_menuItems.insert(save->objectName(), save);
    }
    // The run totals of the active document.
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] { ShowRunTotals(); });
}

void frmMain::ShowRunTotals() {
    const frmSQL* doc = ActiveForm();
    SetPanelText(RunPanel, doc ? doc->Run().TotalsText() : QString());
}

void frmMain::ConnectResultCommands(frmSQL& doc) {
    connect(&doc, &frmSQL::SaveResultRequested, this, [this] { mnuToolSaveResult_Click(); });
}

void frmMain::mnuToolSaveResult_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    Recordset& shown = doc->ShownRecordSet();
    if (shown.State() == 0) {
        mMsg.ShowMessage(QStringLiteral("保存する結果がありません。クエリを実行してください。"));
        return;
    }
    // The grid's pending edits are not part of the result until written.
    if (&shown == &doc->RecordSet() && !doc->CommitGridEdit())
        return;
    const std::optional<ResultSaveChoice> choice =
        m_services.resultFiles->Show(this, SuggestedName(*doc));
    if (!choice)
        return;
    try {
        ExportProgressDialog progress(this, QStringLiteral("結果を保存"),
                                      QStringLiteral("ファイルに書き込み中･･･ %1 / %2 件"));
        SaveResult(shown, choice->path, choice->format, &progress);
        SetPanelText(QStringLiteral("MESSAGE"), QStringLiteral("結果を保存しました。"));
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
    } catch (const std::bad_alloc&) {
        mMsg.ShowError(QStringLiteral("メモリが足りないため、結果を保存できません。"));
    }
}

} // namespace brindle
