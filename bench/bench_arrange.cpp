// Arranging a long script with the shipped keyword table.
#include "arrange/cls_arrange_query.h"
#include "naive_arranger.h"

#include "arrange/arrange_table.h"
#include "colour/keyword_file.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace Qt::Literals::StringLiterals;

const QString kTablePath = QStringLiteral(BRINDLE_SHIPPED_ARRANGE_TABLE);

class AbortingSink final : public brindle::ErrorBoxSink {
public:
    void ShowErrMsg(const brindle::Error& error) override {
        std::fprintf(stderr, "%s\n", qPrintable(error.numbered()));
        std::abort();
    }
};

// A script of everyday statements, `lines` lines joined by CR LF.
QString Script(int lines) {
    QStringList out;
    for (int n = 0; out.size() < lines; ++n) {
        const QString v = QString::number(n);
        switch (n % 7) {
        case 0:
            out << u"SELECT e.id, e.name, e.salary, d.name AS dept"_s << u"FROM employees e"_s
                << u"\tINNER JOIN departments d ON e.dept_id = d.id"_s
                << u"WHERE e.active = 1 AND e.salary > "_s + v << u"ORDER BY e.name, e.id"_s;
            break;
        case 1:
            out << u"select dept_id, count(*) as staff, avg(salary) from employees"_s
                << u"group by dept_id having count(*) > "_s + v + u" order by dept_id"_s;
            break;
        case 2:
            out << u"INSERT INTO audit_log (id, kind, note, created_at) VALUES ("_s + v +
                       u", 'update', 'row "_s + v + u", checked', CURRENT_TIMESTAMP)"_s;
            break;
        case 3:
            out << u"UPDATE employees SET salary = salary * 1.05, note = 'raise'"_s
                << u"  WHERE id = "_s + v + u" OR manager_id = "_s + v;
            break;
        case 4:
            out << u"-- monthly report "_s + v
                << u"SELECT o.id, c.name FROM orders o LEFT OUTER JOIN customers c"_s
                << u"    ON o.customer_id = c.id"_s
                << u"WHERE o.total > "_s + v + u" UNION SELECT id, name FROM archive"_s;
            break;
        case 5:
            out << u"DELETE FROM sessions WHERE last_seen < "_s + v + u" AND kept = 0"_s;
            break;
        default:
            out << u"GO"_s << QString();
            break;
        }
    }
    return out.first(lines).join(u"\r\n"_s);
}

void BM_CArrange(benchmark::State& state) {
    const QString script = Script(int(state.range(0)));
    AbortingSink errors;
    brindle::clsArrangeQuery formatter(errors, kTablePath);
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatter.CArrange(script));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CArrange)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The plain algorithm (rebuild and lower the whole text at every occurrence)
// on a shorter script, for comparison.
void BM_PlainArrange(benchmark::State& state) {
    const QString script = Script(int(state.range(0)));
    const brindle::ArrangeTable table =
        brindle::ParseArrangeTable(brindle::ReadKeywordFileText(kTablePath));
    for (auto _ : state) {
        benchmark::DoNotOptimize(brindle::test::NaiveArrange(script, table));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainArrange)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
