// The history's window over a store of 100,000 entries: opening it, and one
// keystroke in its filter box, which lists the first page afresh.
#include "shell/cls_msg.h"
#include "shell/message_box_service.h"
#include "store/frm_history.h"
#include "store/query_history.h"
#include "store/stored_history.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

namespace {

using namespace brindle;

constexpr int Entries = 100'000;

// Queries of a few shapes; every 13th mentions 社員, every 101st fails.
QString TextOf(int i) {
    if (i % 13 == 0)
        return QStringLiteral("SELECT 社員番号, 氏名 FROM 社員 WHERE 部署 = %1\nORDER BY 1").arg(i);
    if (i % 3 == 0)
        return QStringLiteral("UPDATE orders SET status = 'shipped' WHERE id = %1").arg(i);
    return QStringLiteral("select o.id, c.name, o.total from orders o join customers c on "
                          "c.id = o.customer_id where o.id > %1 order by o.id")
        .arg(i);
}

class FullHistory {
public:
    FullHistory() {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary directory");
        store::HistoryRecorder recorder(
            paths(), [](const store::JournalProblem&) {}, true);
        const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-60);
        for (int i = 0; i < Entries; ++i) {
            store::HistoryEntry entry;
            entry.started = start.addSecs(i * 50);
            entry.durationMs = i % 900;
            entry.dsn = i % 4 == 0 ? QStringLiteral("pg") : QStringLiteral("sample");
            entry.caption = QStringLiteral("無題1");
            entry.rows = i % 500;
            entry.outcome =
                i % 101 == 0 ? store::HistoryOutcome::Failed : store::HistoryOutcome::Completed;
            entry.text = TextOf(i);
            entry.firstLine = entry.text.section(u'\n', 0, 0);
            recorder.Record(std::move(entry));
        }
        if (!recorder.Flush(600000))
            throw std::runtime_error("the history was not written");
    }
    store::StorePaths paths() const { return store::StorePaths{m_dir.path()}; }

private:
    QTemporaryDir m_dir;
};

FullHistory& TheHistory() {
    static FullHistory history;
    return history;
}

class NoBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest&) override { return MsgResultOk; }
};

// From the menu item to the list painted: the store opened, the data
// sources read, the first page listed and the window shown.
void BM_OpenHistoryWindow(benchmark::State& state) {
    NoBoxes boxes;
    const clsMsg messages(boxes);
    const store::StorePaths paths = TheHistory().paths();
    for (auto _ : state) {
        auto source = std::make_unique<store::StoredHistory>(paths);
        frmHistory dialog(source.get(), QString(), messages);
        dialog.show();
        dialog.lstHistory()->viewport()->repaint();
        benchmark::DoNotOptimize(dialog.Model()->rowCount());
    }
}
BENCHMARK(BM_OpenHistoryWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

// One character typed into the filter and taken back, alternately, each
// listing the first page and repainting it. Arg 0: a term in most entries
// ("order"), 1: a rare one, 2: two Japanese characters (shorter than the
// index's trigrams), 3: two characters in no entry, which reads them all.
void BM_FilterKeystroke(benchmark::State& state) {
    static const QString terms[] = {QStringLiteral("order"), QStringLiteral("部署 = 9867"),
                                    QStringLiteral("社員"), QStringLiteral("該当")};
    const QString term = terms[state.range(0)];
    NoBoxes boxes;
    const clsMsg messages(boxes);
    store::StoredHistory source(TheHistory().paths());
    frmHistory dialog(&source, QString(), messages);
    dialog.show();
    QLineEdit& filter = *dialog.txtFilter();
    filter.setText(term.chopped(1));
    bool add = true;
    for (auto _ : state) {
        filter.setText(add ? term : term.chopped(1));
        dialog.lstHistory()->viewport()->repaint();
        add = !add;
    }
    state.counters["rows"] = dialog.Model()->rowCount();
}
BENCHMARK(BM_FilterKeystroke)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
