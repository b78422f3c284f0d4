// The main of the benchmarks that need the window's application: offscreen
// unless told otherwise, set up as the program starts.

#include "data/odbc_locale.h"
#include "store/sqlite_handles.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    brindle::store::SetUpSqliteForThreads();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program does at start-up: drivers without W entry points then
    // store Japanese text as UTF-8.
    brindle::UseUtf8CharacterSet();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
