// Colouring on every keystroke: CColor over a generated script with the
// shipped keyword table, the file read included.
#include "colour/bas_csv.h"
#include "colour/cls_edit_color.h"
#include "colour/colour_passes.h"
#include "colour/keyword_file.h"
#include "colour/keyword_table.h"
#include "sql_script_generator.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace brindle;

// A failing colouring would time the error path; stop instead.
class FailOnError final : public ErrorBoxSink {
public:
    void ShowErrMsg(const Error& error) override {
        std::fprintf(stderr, "colouring failed: %s\n", error.numbered().toStdString().c_str());
        std::abort();
    }
};

QString ShippedTable() {
    return QStringLiteral(BRINDLE_SHIPPED_KEYWORDS);
}

void BM_CColor(benchmark::State& state) {
    const QString rtf = test::GenerateSqlRtf(int(state.range(0)));
    FailOnError errors;
    for (auto _ : state) {
        clsEditColor colour(errors, ShippedTable());
        colour.setTabSpaceNum(4);
        QString coloured = colour.CColor(rtf);
        benchmark::DoNotOptimize(coloured);
    }
    state.counters["rtf_chars"] = double(rtf.size());
}

// The same work with one pass over the whole text per table entry.
void BM_CColorEntryByEntry(benchmark::State& state) {
    const QString rtf = test::GenerateSqlRtf(int(state.range(0)));
    for (auto _ : state) {
        const KeywordTable table = ParseKeywordTable(ReadKeywordFileText(ShippedTable()));
        const QString text = colour::RemoveColors(colour::FlattenRtf(rtf, 4));
        QString coloured = colour::ColorKeywords(text, table, colour::KeywordMethod::EntryByEntry);
        benchmark::DoNotOptimize(coloured);
    }
}

// One keyword-file line of quoted fields without commas between them ahead
// of a long tail: the splitter must stay linear in the line's length.
void BM_SplitCsvLineQuotedFields(benchmark::State& state) {
    const QString line =
        QStringLiteral("\"a\"b").repeated(int(state.range(0))) + QString(4'000'000, u'x');
    for (auto _ : state) {
        QStringList fields = SplitCsvLine(line);
        benchmark::DoNotOptimize(fields);
    }
    state.counters["line_chars"] = double(line.size());
}

BENCHMARK(BM_CColor)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CColorEntryByEntry)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitCsvLineQuotedFields)->Arg(4000)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
