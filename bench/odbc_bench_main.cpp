// The main of the benchmarks that go through ODBC.

#include "data/odbc_locale.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
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
