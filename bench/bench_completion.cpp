// Name completion's reading of the text: what opening the popup costs (the
// batch at the caret cut and read whole) and what every keystroke costs
// (whether it opens the popup by itself), over the editor's script sizes.
#include "editor/batch_at_caret.h"
#include "editor/completion_context.h"
#include "sql_script_generator.h"

#include <benchmark/benchmark.h>

namespace {

using namespace brindle;

void ScriptSizes(benchmark::internal::Benchmark* b) {
    for (const int lines : {500, 10000, 100000, 400000})
        b->Arg(lines);
    b->UseRealTime();
}

// The generated script with "x." typed into the middle of its middle line.
struct Typed {
    QString text;
    qsizetype caret = 0;
};
Typed TypedIntoMiddle(int lines) {
    Typed typed;
    typed.text = test::GenerateSqlScript(lines);
    qsizetype at = typed.text.indexOf(u'\n', typed.text.size() / 2);
    at = at < 0 ? typed.text.size() : at;
    typed.text.insert(at, u" x.");
    typed.caret = at + 3;
    return typed;
}

// The popup opening: the batch at the caret cut as the editor cuts it, then
// read whole.
void BM_CompletionBatchAtCaret(benchmark::State& state) {
    const Typed typed = TypedIntoMiddle(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto span = editing::BatchAt(typed.text, typed.caret);
        const QStringView batch = QStringView(typed.text).sliced(span->start, span->length);
        benchmark::DoNotOptimize(completion::AnalyseAt(batch, typed.caret - span->start));
    }
}
BENCHMARK(BM_CompletionBatchAtCaret)->Apply(ScriptSizes)->Unit(benchmark::kMicrosecond);

// The worst batch: a script without one GO line, read whole.
void BM_CompletionWholeScript(benchmark::State& state) {
    const Typed typed = TypedIntoMiddle(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(completion::AnalyseAt(typed.text, typed.caret));
}
BENCHMARK(BM_CompletionWholeScript)->Apply(ScriptSizes)->Unit(benchmark::kMillisecond);

// Every keystroke: only the caret's line is read.
void BM_CompletionOpensByItself(benchmark::State& state) {
    const Typed typed = TypedIntoMiddle(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(completion::OpensByItself(typed.text, typed.caret));
}
BENCHMARK(BM_CompletionOpensByItself)->Apply(ScriptSizes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
