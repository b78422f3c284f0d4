#include "core/app_info.h"
#include "data/odbc_locale.h"
#include "shell/bas_main.h"
#include "shell/font_substitutes.h"
#include "shell/frm_main.h"
#include "shell/huge_page_heap.h"
#include "shell/one_malloc_arena.h"
#include "shell/qt_japanese.h"
#include "store/journal_warnings.h"
#include "store/preferences.h"
#include "store/query_history.h"
#include "store/query_journal.h"
#include "store/sqlite_handles.h"

#include <QApplication>
#include <QIcon>

#include <csignal>

int main(int argc, char* argv[]) {
    brindle::StartWithHugePageHeap(argv);
    brindle::UseOneMallocArena();
    QApplication app(argc, argv);
    brindle::SpeakJapanese(app);
    brindle::UseUtf8CharacterSet();
    QApplication::setApplicationName(brindle::AppTitle());
    QApplication::setApplicationVersion(brindle::VersionText());
    QApplication::setDesktopFileName(QStringLiteral("brindle"));
    QIcon icon;
    for (const char16_t* name : {u":/icons/brindle.png", u":/icons/brindle-48.png",
                                 u":/icons/brindle-128.png", u":/icons/brindle-256.png"})
        icon.addFile(QString::fromUtf16(name));
    QApplication::setWindowIcon(icon);
    brindle::RegisterFontSubstitutes();

    // A file grown past the size limit is a failed write to report, not the
    // end of the program with the user's text.
    std::signal(SIGXFSZ, SIG_IGN);
    brindle::store::SetUpSqliteForThreads();

    brindle::Services services;
    brindle::JournalWarnings warnings;
    services.store = brindle::store::DefaultStorePaths();
    brindle::store::QueryJournal journal(
        services.store,
        [&warnings](const brindle::store::JournalProblem& problem) { warnings.Post(problem); });
    services.journal = &journal;
    // The history leaves a damaged store to the journal, which moves it aside.
    brindle::JournalWarnings historyWarnings;
    brindle::store::HistoryRecorder history(
        services.store,
        [&historyWarnings](const brindle::store::JournalProblem& problem) {
            historyWarnings.Post(problem);
        },
        false);
    services.history = &history;
    brindle::store::StoredPreferences preferences(services.store);
    services.preferences = &preferences;

    std::unique_ptr<brindle::frmMain> window = brindle::Main(services);
    if (!window)
        return 1;
    warnings.SetSink([&window](const brindle::store::JournalProblem& problem) {
        window->ShowJournalProblem(problem);
    });
    historyWarnings.SetSink([&window](const brindle::store::JournalProblem& problem) {
        window->ShowHistoryProblem(problem);
    });
    window->setAttribute(Qt::WA_QuitOnClose);
    const int status = QApplication::exec();
    historyWarnings.SetSink({});
    warnings.SetSink({});
    return status;
}
