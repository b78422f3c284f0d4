// Colouring paragraph by paragraph: a whole generated script, and one line
// edited in its middle, against the full pass over the same script.
#include "colour/cls_edit_color.h"
#include "colour/incremental_colouring.h"
#include "colour/keyword_file.h"
#include "colour/keyword_table.h"
#include "editor/rtf_document.h"
#include "sql_script_generator.h"

#include <QStringList>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace brindle;

class FailOnError final : public ErrorBoxSink {
public:
    void ShowErrMsg(const Error& error) override {
        std::fprintf(stderr, "colouring failed: %s\n", error.numbered().toStdString().c_str());
        std::abort();
    }
};

QString ShippedTablePath() {
    return QStringLiteral(BRINDLE_SHIPPED_KEYWORDS);
}

KeywordTable ShippedTable() {
    return ParseKeywordTable(ReadKeywordFileText(ShippedTablePath()));
}

// Colouring every paragraph of a document given as its paragraphs.
void BM_IncrementalReset(benchmark::State& state) {
    const QStringList lines = test::GenerateSqlScript(int(state.range(0))).split(u'\n');
    colour::IncrementalColouring inc(ShippedTable());
    for (auto _ : state) {
        inc.Reset(lines);
    }
    state.counters["paragraphs"] = double(inc.ParagraphCount());
}

// One keystroke in the middle line, then taken back: each update hands over
// the one paragraph that changed.
void BM_IncrementalUpdateLine(benchmark::State& state) {
    const QStringList lines = test::GenerateSqlScript(int(state.range(0))).split(u'\n');
    colour::IncrementalColouring inc(ShippedTable());
    inc.Reset(lines);
    const qsizetype middle = lines.size() / 2;
    const QStringList typed = {lines[middle] + u" x"};
    const QStringList original = {lines[middle]};
    bool add = true;
    qsizetype touched = 0;
    for (auto _ : state) {
        touched += inc.Update(middle, 1, add ? typed : original).count;
        add = !add;
    }
    state.counters["touched"] =
        benchmark::Counter(double(touched), benchmark::Counter::kAvgIterations);
}

// Enter in the middle line: one paragraph becomes two, then joined again.
void BM_IncrementalSplitLine(benchmark::State& state) {
    const QStringList lines = test::GenerateSqlScript(int(state.range(0))).split(u'\n');
    colour::IncrementalColouring inc(ShippedTable());
    inc.Reset(lines);
    const qsizetype middle = lines.size() / 2;
    const QString line = lines[middle];
    const QStringList split = {line.first(line.size() / 2), line.sliced(line.size() / 2)};
    const QStringList joined = {line};
    bool add = true;
    for (auto _ : state) {
        if (add) {
            inc.Update(middle, 1, split);
        } else {
            inc.Update(middle, 2, joined);
        }
        add = !add;
    }
}

// The yardstick: the full pass on the same script, as the editor runs it on
// every change today (keyword file read, RTF written, coloured, read back).
void BM_FullPass(benchmark::State& state) {
    const QString script = test::GenerateSqlScript(int(state.range(0)));
    FailOnError errors;
    for (auto _ : state) {
        clsEditColor colour(errors, ShippedTablePath());
        const QString rtf = rtf::WriteRtf(script, QStringLiteral("MS Gothic"), 10.0);
        rtf::RtfContent content = rtf::ReadRtf(colour.CColor(rtf));
        benchmark::DoNotOptimize(content);
    }
}

} // namespace

BENCHMARK(BM_IncrementalReset)
    ->Arg(500)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncrementalUpdateLine)
    ->Arg(500)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IncrementalSplitLine)
    ->Arg(500)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullPass)
    ->Arg(500)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
