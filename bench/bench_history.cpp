// The query history with 100,000 entries: the first page of the list for
// each keystroke of a filter, opening the list, and what recording a batch
// costs the thread that ran it.
//
//   brindle_bench_history [benchmark options]
//   brindle_bench_history --populate DIR   writes DIR/Brindle/brindle.db with
//                                          the same entries, for timing
//                                          brindle-cli history from outside

#include "data/batch_observer.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "store/history_rows.h"
#include "store/local_store.h"
#include "store/query_history.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>

namespace {

using namespace brindle;
using store::HistoryEntry;
using store::HistoryFilter;

constexpr int kEntries = 100'000;
constexpr int kPage = 200;

const char* const kTables[] = {"employees", "departments", "orders", "order_lines", "customers",
                               "invoices",  "products",    "stock",  "社員",        "売上明細"};
const char* const kColumns[] = {"id",   "name",  "amount",   "created_at",  "status",
                                "部署", "price", "quantity", "customer_id", "備考"};

// Query texts as a user runs them: mostly short SELECTs, some UPDATEs and
// INSERTs, a few long scripts, Japanese here and there. Every 20,000th holds
// the rare word "請求書照合"; "Zq" is in every 25,000th.
QString Batch(std::mt19937& rng, int n) {
    const auto pick = [&](const auto& list) {
        return QString::fromUtf8(list[rng() % std::size(list)]);
    };
    QString text;
    const unsigned kind = rng() % 10;
    if (kind < 6) {
        text = u"SELECT " + pick(kColumns) + u", " + pick(kColumns) + u"\nFROM " + pick(kTables) +
               u"\nWHERE " + pick(kColumns) + u" = " + QString::number(rng() % 100'000);
        if (rng() % 3 == 0)
            text += u"\nORDER BY " + pick(kColumns) + u" DESC";
    } else if (kind < 8) {
        text = u"UPDATE " + pick(kTables) + u" SET " + pick(kColumns) + u" = '" +
               QString::number(rng() % 1'000) + u"' WHERE id = " + QString::number(rng() % 5'000);
    } else if (kind < 9) {
        text = u"INSERT INTO " + pick(kTables) + u" VALUES (" + QString::number(n) + u", '名前" +
               QString::number(rng() % 10'000) + u"', " + QString::number(rng()) + u")";
    } else {
        text = u"-- 月次集計 " + QString::number(n) + u'\n';
        const int lines = 5 + static_cast<int>(rng() % (rng() % 50 == 0 ? 200 : 20));
        for (int i = 0; i < lines; ++i)
            text += u"SELECT " + pick(kColumns) + u" FROM " + pick(kTables) + u" WHERE " +
                    pick(kColumns) + u" > " + QString::number(rng() % 1'000) + u'\n';
    }
    if (n % 20'000 == 7)
        text += QStringLiteral(" -- 請求書照合");
    if (n % 25'000 == 11)
        text += QStringLiteral(" -- Zq");
    return text;
}

HistoryEntry Entry(std::mt19937& rng, int n, const QDateTime& started) {
    HistoryEntry entry;
    entry.started = started;
    entry.durationMs = rng() % 2'000;
    entry.dsn = n % 500 == 1 ? QStringLiteral("監査DB")
                : n % 3 == 0 ? QStringLiteral("BrindleSample")
                             : QStringLiteral("本番DB");
    entry.caption = QStringLiteral("無題%1").arg(n % 40);
    entry.text = Batch(rng, n);
    entry.rows = rng() % 500;
    entry.outcome = n % 50 == 0 ? store::HistoryOutcome::Failed : store::HistoryOutcome::Completed;
    if (entry.outcome == store::HistoryOutcome::Failed)
        entry.error = QStringLiteral("[SQLite]no such table: x");
    return entry;
}

// The entries written straight into a store, one transaction per 10,000.
void Populate(const store::StorePaths& paths) {
    store::OpenedStore opened = store::OpenLocalStore(paths);
    std::mt19937 rng(20240501);
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-60);
    std::vector<HistoryEntry> entries;
    for (int n = 0; n < kEntries; ++n) {
        entries.push_back(Entry(rng, n, start.addSecs(n * 50)));
        if (entries.size() == 10'000) {
            store::SqliteTransaction transaction(opened.db, true, store::kCannotWrite);
            store::InsertHistoryEntries(opened.db, entries);
            transaction.Commit();
            entries.clear();
        }
    }
}

struct FullHistory {
    FullHistory() {
        if (!dir.isValid())
            throw std::runtime_error("no temporary directory");
        Populate(paths());
    }
    store::StorePaths paths() const { return {dir.path() + u"/Brindle"}; }
    QTemporaryDir dir;
};

const FullHistory& Full() {
    static const FullHistory full;
    return full;
}

// The first page for one filter, newest first, as a keystroke in the filter
// box asks for it (the reader already open).
void BM_FirstPage(benchmark::State& state, const char* search, const char* dsn, bool failures) {
    store::HistoryReader reader(Full().paths());
    HistoryFilter filter;
    filter.search = QString::fromUtf8(search);
    filter.dsn = QString::fromUtf8(dsn);
    filter.failuresOnly = failures;
    std::size_t found = 0;
    for (auto _ : state)
        found = reader.List(filter, kPage).size();
    state.counters["found"] = static_cast<double>(found);
}
#define FIRST_PAGE(name, search, dsn, failures)                                                    \
    BENCHMARK_CAPTURE(BM_FirstPage, name, search, dsn, failures)->Unit(benchmark::kMillisecond)
FIRST_PAGE(no_filter, "", "", false);
FIRST_PAGE(frequent_select, "select", "", false);
FIRST_PAGE(frequent_japanese, "社員", "", false);
FIRST_PAGE(rare_word, "請求書照合", "", false);
FIRST_PAGE(rare_ascii, "-- zq", "", false);
FIRST_PAGE(nothing_found, "no such text", "", false);
FIRST_PAGE(one_character_frequent, "s", "", false);
FIRST_PAGE(one_character_rare, "照", "", false);
FIRST_PAGE(two_characters_frequent, "id", "", false);
FIRST_PAGE(two_characters_rare, "zq", "", false);
FIRST_PAGE(two_characters_rare_japanese, "照合", "", false);
FIRST_PAGE(dsn_select, "select", "BrindleSample", false);
FIRST_PAGE(rare_dsn_select, "select", "監査DB", false);
FIRST_PAGE(failures_select, "select", "", true);
FIRST_PAGE(failures_no_search, "", "", true);

// Opening the list: the reader, its first page unfiltered and the data
// sources for the filter's choice.
void BM_OpenList(benchmark::State& state) {
    Full();
    for (auto _ : state) {
        store::HistoryReader reader(Full().paths());
        benchmark::DoNotOptimize(reader.List({}, kPage));
        benchmark::DoNotOptimize(reader.DataSources());
    }
}
BENCHMARK(BM_OpenList)->Unit(benchmark::kMillisecond);

// What Record() costs the thread that ran the batch; the worker writes
// meanwhile (into a store of its own).
void BM_RecordOnCallingThread(benchmark::State& state) {
    QTemporaryDir dir;
    store::HistoryRecorder recorder({dir.path() + u"/Brindle"}, nullptr, true);
    HistoryEntry entry;
    entry.started = QDateTime::currentDateTimeUtc();
    entry.dsn = QStringLiteral("BrindleSample");
    entry.caption = QStringLiteral("無題1");
    entry.text = QStringLiteral("SELECT 1 AS a, 'x' AS b");
    entry.rows = 1;
    for (auto _ : state)
        recorder.Record(entry);
    // Written after the timed loop.
    recorder.Flush(600'000);
}
BENCHMARK(BM_RecordOnCallingThread)->Unit(benchmark::kMicrosecond);

// 6,000 one-line batches handed over at once and written (into a fresh
// store each time).
void BM_Record6000Batches(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        std::mt19937 rng(1);
        std::vector<HistoryEntry> entries;
        for (int n = 0; n < 6'000; ++n)
            entries.push_back(Entry(rng, n, QDateTime::currentDateTimeUtc()));
        store::HistoryRecorder recorder({dir.path() + u"/Brindle"}, nullptr, true);
        recorder.Record(entries[0]);
        recorder.Flush(); // the store made
        state.ResumeTiming();
        for (HistoryEntry& entry : entries)
            recorder.Record(std::move(entry));
        recorder.Flush(600'000);
    }
}
BENCHMARK(BM_Record6000Batches)->Unit(benchmark::kMillisecond);

// Hands every batch to a recorder, as brindle-cli and the window do.
class Recording : public BatchObserver {
public:
    explicit Recording(store::HistoryRecorder& recorder) : m_recorder(recorder) {}
    void BatchEnded(const BatchReport& report) noexcept override {
        HistoryEntry entry;
        entry.started = report.started;
        entry.durationMs = report.durationMs;
        entry.dsn = QStringLiteral("BrindleSample");
        entry.caption = QStringLiteral("無題1");
        entry.rows = report.rows;
        entry.rowsChanged = report.rowsChanged;
        entry.text = report.text;
        m_recorder.Record(std::move(entry));
    }

private:
    store::HistoryRecorder& m_recorder;
};

// A one-row batch on SQLite (through its ODBC driver) on the caller's
// thread, with (1) and without (0) the history recording it: what recording
// adds to the thread that runs the batch.
void BM_OneRowBatch(benchmark::State& state) {
    QTemporaryDir dir;
    Connection connection;
    connection.setConnectionString(u"Driver=SQLite3;Database=" +
                                   QDir(dir.path()).filePath(QStringLiteral("batches.db")) + u';');
    connection.Open();
    Command command;
    command.setActiveConnection(&connection);
    command.setCommandText(QStringLiteral("SELECT 1 AS a, 'x' AS b"));
    store::HistoryRecorder recorder({dir.path() + u"/Brindle"}, nullptr, true);
    Recording recording(recorder);
    if (state.range(0) != 0)
        command.setObserver(&recording);
    Recordset rs;
    for (auto _ : state) {
        rs.Open(command);
        benchmark::DoNotOptimize(rs.RecordCount());
        rs.Close();
    }
    // Written after the timed loop.
    recorder.Flush(600'000);
}
BENCHMARK(BM_OneRowBatch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--populate") == 0) {
        try {
            Populate({QFile::decodeName(argv[2]) + u"/Brindle"});
        } catch (const Error& e) {
            std::fprintf(stderr, "%s\n", e.description().toLocal8Bit().constData());
            return 1;
        }
        return 0;
    }
    // As brindle-cli (and the window) set SQLite up.
    store::SetUpSqliteForThreads();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
