#include "shell/frm_main.h"

#include "data/connection.h"
#include "data/recordset_helpers.h"
#include "data/split_batches.h"
#include "shell/error.h"
#include "shell/frm_sql.h"
#include "shell/process_state.h"
#include "shell/rich_text_editor.h"

#include <QApplication>
#include <QLabel>

namespace brindle {

namespace {

// The hourglass over every window of the program while batches run, back to
// the normal pointer however the run ends.
class WaitPointer {
public:
    WaitPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitPointer() { QApplication::restoreOverrideCursor(); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;
};

QString Running() {
    return QStringLiteral("クエリ バッチ実行中･･･");
}
QString Completed() {
    return QStringLiteral("クエリ バッチが完了しました。");
}
QString CompletedWithError() {
    return QStringLiteral("クエリ バッチはエラーで完了しました。");
}

} // namespace

void frmMain::mnuQryExec_Click() {
    // Disabled without a document; a shortcut that still gets here does nothing.
    if (!ActiveForm())
        return;
    const QString message = QStringLiteral("MESSAGE");
    try {
        SetPanelText(message, Running());
        // The batches hold the event loop; show the text before they start.
        if (QLabel* panel = Panel(message))
            panel->repaint();
        if (!ExecBatches()) {
            SetPanelText(message, CompletedWithError());
            return;
        }
        frmSQL* doc = ActiveForm();
        if (!doc) {
            SetPanelText(message, CompletedWithError());
            return;
        }
        doc->BindGrid();
        SetPanelText(message, Completed());
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
        SetPanelText(message, CompletedWithError());
    }
}

bool frmMain::ExecBatches() {
    try {
        if (gcnDB->State() == 0) {
            mMsg.ShowMessage(QStringLiteral("データベースに接続されていません。"));
            return false;
        }
        frmSQL* doc = ActiveForm();
        if (!doc)
            return false;
        const RichTextEditor& editor = *doc->txtQry();
        const QString text = editor.SelLength() > 0 ? editor.SelText() : editor.Text();
        const QStringList batches = SplitBatches(text);

        const WaitPointer wait;
        for (const QString& batch : batches) {
            // A failing batch has shown its own error; the rest do not run.
            if (!OpenRecordSet(batch, doc->RecordSet(), false, mMsg))
                return false;
        }
        return true;
    } catch (const Error& e) {
        // The pointer is already back when the box appears.
        mMsg.ShowError(e.description());
        return false;
    }
}

} // namespace brindle
