#include "shell/frm_main.h"

#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/connection_string.h"
#include "data/recordset_helpers.h"
#include "data/run_results.h"
#include "data/split_batches.h"
#include "data/threaded_batch_executor.h"
#include "shell/frm_sql.h"
#include "shell/process_state.h"
#include "editor/rich_text_editor.h"
#include "store/history_batch_observer.h"

#include <QApplication>
#include <QLabel>

#include <optional>

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

// The shared command runs its batches through the executor for one run of
// batches, each recorded in the history when there is one, and the run's
// progress goes when it ends, however it ends.
class BatchRun {
public:
    BatchRun(Command* command, ThreadedBatchExecutor& executor, BatchObserver* observer,
             bool keepResults)
        : m_command(command), m_executor(executor) {
        if (m_command) {
            m_command->setExecutor(&m_executor);
            m_command->setObserver(observer);
            m_command->setKeepAllResults(keepResults);
        }
    }
    ~BatchRun() {
        if (m_command) {
            m_command->setExecutor(nullptr);
            m_command->setObserver(nullptr);
            m_command->setKeepAllResults(false);
        }
        m_executor.EndRun();
    }
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

private:
    Command* m_command;
    ThreadedBatchExecutor& m_executor;
};

// Where the run's batches go in the history: the data source, the login the
// connection was made with and the document's caption.
std::optional<store::HistoryBatchObserver> HistoryOf(store::HistoryRecorder* recorder,
                                                     const frmSQL& doc) {
    if (!recorder)
        return std::nullopt;
    return std::make_optional<store::HistoryBatchObserver>(
        *recorder, gstrDSN, ConnectionStringKey(gcnDB->ConnectionString(), QStringLiteral("UID")),
        doc.Caption());
}

// Where each batch that is sent stands in the editor (an empty batch is
// not sent): the places in the text run, moved by where that text starts.
std::vector<BatchPlace> EditorPlaces(const RichTextEditor& editor, const QString& text,
                                     const QStringList& batches) {
    const std::vector<BatchPlace> all = SplitBatchPlaces(text);
    std::vector<BatchPlace> places;
    for (qsizetype i = 0; i < batches.size() && i < static_cast<qsizetype>(all.size()); ++i) {
        if (!batches[i].isEmpty())
            places.push_back(all[static_cast<std::size_t>(i)]);
    }
    if (editor.SelLength() <= 0)
        return places;
    const int start = editor.SelStart();
    const QString before = editor.Text().left(start);
    // CR LF, CR and LF each end a line.
    int lines = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i] == u'\n' ||
            (before[i] == u'\r' && (i + 1 >= before.size() || before[i + 1] != u'\n')))
            ++lines;
    }
    for (BatchPlace& place : places) {
        place.start += start;
        place.line += lines;
    }
    return places;
}

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
        // A quick batch runs without the event loop; show the text first.
        if (QLabel* panel = Panel(message))
            panel->repaint();
        const bool ran = ExecBatches(true);
        frmSQL* doc = ActiveForm();
        if (doc) {
            doc->ShowRun();
            ShowRunTotals();
        }
        if (!ran || !doc) {
            SetPanelText(message, CompletedWithError());
            return;
        }
        SetPanelText(message, Completed());
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
        SetPanelText(message, CompletedWithError());
    }
}

bool frmMain::ExecBatches(bool keepResults) {
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

        std::optional<store::HistoryBatchObserver> history = HistoryOf(m_services.history, *doc);
        BatchObservers observers;
        if (history)
            observers.Add(&*history);
        std::optional<RunResultsCollector> collector;
        if (keepResults) {
            doc->Run().Clear();
            collector.emplace(doc->Run(), EditorPlaces(editor, text, batches));
            observers.Add(&*collector);
        }
        const WaitPointer wait;
        const BatchRun run(gcmdDB.get(), *m_batchExecutor, &observers, keepResults);
        const auto count = static_cast<int>(batches.size());
        for (int i = 0; i < count; ++i) {
            m_batchExecutor->SetBatch(i + 1, count);
            // A failing batch has shown its own error; the rest do not run.
            if (!OpenRecordSet(batches[i], doc->RecordSet(), false, mMsg))
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
