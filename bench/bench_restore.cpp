// Restoring the queries of a crashed instance at start-up (documents, lines
// each): the claim on its
// session, the restore dialog (answered at once), reading the texts and
// opening every one as a document of the main window, coloured.
#include "data/command.h"
#include "data/connection.h"
#include "shell/frm_main.h"
#include "shell/message_box_service.h"
#include "shell/process_state.h"
#include "shell/services.h"
#include "sql_script_generator.h"
#include "store/frm_restore.h"
#include "store/query_journal.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace brindle;

class PressRestore final : public ModalRunner {
public:
    int Run(QDialog& dialog) override {
        if (auto* restore = qobject_cast<frmRestore*>(&dialog))
            restore->cmdRestore_Click();
        return dialog.result();
    }
};

class NoBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest&) override { return MsgResultOk; }
};

// `count` documents of `lines` lines each, left by an instance that never
// closed.
void LeaveCrashedSession(const store::StorePaths& paths, int count, int lines) {
    store::QueryJournal crashed(paths, [](const store::JournalProblem&) {});
    QString script = test::GenerateSqlScript(lines);
    script.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (int i = 0; i < count; ++i)
        crashed.Open(QStringLiteral("無題") + QString::number(i + 1), script);
    crashed.Flush(60000);
}

void BM_RestoreAtStartUp(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    PressRestore press;
    NoBoxes boxes;
    gcnDB = std::make_unique<Connection>();
    gcmdDB = std::make_unique<Command>();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const store::StorePaths paths{dir.path()};
        LeaveCrashedSession(paths, count, static_cast<int>(state.range(1)));
        store::QueryJournal journal(paths, [](const store::JournalProblem&) {});
        Services services;
        services.modal = &press;
        services.messages = &boxes;
        services.journal = &journal;
        services.store = paths;
        gintDocCount = 0;
        auto window = std::make_unique<frmMain>(services);
        window->MDIForm_Load();
        window->show();
        window->LoadNewDoc();
        QApplication::processEvents();
        state.ResumeTiming();

        window->RestoreCrashedQueries();
        QApplication::processEvents();

        state.PauseTiming();
        if (window->Documents().size() != count + 1)
            state.SkipWithError("not every document was restored");
        window->close();
        window.reset();
        state.ResumeTiming();
    }
    gcmdDB.reset();
    gcnDB.reset();
}
BENCHMARK(BM_RestoreAtStartUp)
    ->Args({50, 1})
    ->Args({50, 20})
    ->Args({50, 200})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
