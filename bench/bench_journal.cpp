// What keeping every query document costs: the window's thread handing a
// keystroke to the journal, the journal's worker writing it, and restoring
// documents after a crash. The store lives in a temporary directory (on the
// same disk as the user's data would be on this machine).

#include "store/journal_reader.h"
#include "store/orphan_claim.h"
#include "store/query_journal.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace brindle;
using store::QueryJournal;
using Clock = std::chrono::steady_clock;

// `lines` lines of about 45 characters of query text, some Japanese.
QString QueryLines(int lines) {
    QString text;
    for (int i = 0; i < lines; ++i) {
        text += i % 7 == 0
                    ? QStringLiteral("-- 社員の一覧 %1\n").arg(i)
                    : QStringLiteral("SELECT id, name FROM employees WHERE id = %1\n").arg(i);
    }
    return text;
}

// 20 MB of UTF-8 (a dump), about 450,000 lines.
QString Dump() {
    static const QString dump = QueryLines(450'000);
    return dump;
}

struct TempStore {
    TempStore() {
        if (!dir.isValid())
            throw std::runtime_error("no temporary directory");
    }
    store::StorePaths paths() const { return {dir.path() + u"/Brindle"}; }
    QTemporaryDir dir;
};

// The calling thread's cost of one typed character (and of deleting it
// again, every other call, so that the text keeps its size).
void BM_EditOneCharacter(benchmark::State& state) {
    TempStore temp;
    QueryJournal journal(temp.paths(), nullptr);
    const QueryJournal::Key key = journal.Open(QStringLiteral("無題1"), QueryLines(500));
    journal.Flush();
    const QString typed = QStringLiteral("a");
    const QString none;
    bool insert = true;
    for (auto _ : state) {
        if (insert)
            journal.Edit(key, 1000, 0, typed);
        else
            journal.Edit(key, 1000, 1, none);
        insert = !insert;
    }
    journal.Flush(60'000);
}
BENCHMARK(BM_EditOneCharacter)->Unit(benchmark::kNanosecond);

// Typing into a 20 MB document at a fast typist's pace while the worker
// writes the whole text again and again: the longest Edit() call.
void BM_EditWhileSnapshotting20MB(benchmark::State& state) {
    TempStore temp;
    QueryJournal journal(temp.paths(), nullptr);
    const QString dump = Dump();
    const QueryJournal::Key key = journal.Open(QStringLiteral("/tmp/dump.sql"), dump);
    journal.Flush(60'000);
    const QString typed = QStringLiteral("x");
    std::vector<double> calls;
    for (auto _ : state) {
        const auto end = Clock::now() + std::chrono::seconds(5);
        auto nextSnapshot = Clock::now();
        qsizetype at = dump.size() / 2;
        while (Clock::now() < end) {
            if (Clock::now() >= nextSnapshot) {
                // The whole text anew (a paste over everything): the next
                // write is a 20 MB snapshot.
                journal.Replace(key, dump);
                at = dump.size() / 2;
                nextSnapshot = Clock::now() + std::chrono::milliseconds(500);
            }
            const auto start = Clock::now();
            journal.Edit(key, at++, 0, typed);
            calls.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    journal.Flush(60'000);
    std::sort(calls.begin(), calls.end());
    state.counters["calls"] = static_cast<double>(calls.size());
    state.counters["median_us"] = calls[calls.size() / 2];
    state.counters["p99_us"] = calls[calls.size() * 99 / 100];
    state.counters["max_us"] = calls.back();
}
BENCHMARK(BM_EditWhileSnapshotting20MB)->Iterations(1)->Unit(benchmark::kMillisecond);

// One typed character until it is durable in the store, as the worker
// writes it: the text whole (500 lines), or as an edit row (10,000 lines,
// 20 MB).
void BM_FlushOneCharacter(benchmark::State& state) {
    TempStore temp;
    QueryJournal journal(temp.paths(), nullptr);
    const QString text =
        state.range(0) == 0 ? Dump() : QueryLines(static_cast<int>(state.range(0)));
    const QueryJournal::Key key = journal.Open(QStringLiteral("無題1"), text);
    journal.Flush(60'000);
    const QString typed = QStringLiteral("a");
    qsizetype at = text.size() / 2;
    for (auto _ : state) {
        journal.Edit(key, at++, 0, typed);
        journal.Flush(60'000);
    }
    state.counters["chars"] = static_cast<double>(text.size());
}
BENCHMARK(BM_FlushOneCharacter)->Arg(500)->Arg(10'000)->Arg(0)->Unit(benchmark::kMillisecond);

// The same text written whole every time (Replace), for comparison.
void BM_FlushSnapshot(benchmark::State& state) {
    TempStore temp;
    QueryJournal journal(temp.paths(), nullptr);
    const QString text =
        state.range(0) == 0 ? Dump() : QueryLines(static_cast<int>(state.range(0)));
    const QueryJournal::Key key = journal.Open(QStringLiteral("無題1"), text);
    journal.Flush(60'000);
    for (auto _ : state) {
        journal.Replace(key, text);
        journal.Flush(60'000);
    }
}
BENCHMARK(BM_FlushSnapshot)->Arg(10'000)->Arg(0)->Unit(benchmark::kMillisecond);

// Start-up after a crash that left 50 documents of 500 lines: the journal
// opened (its check of the store included), the claim taken, every text read
// and adopted, the claimed session discarded, and all of it written.
void BM_Restore50Documents(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TempStore temp;
        {
            QueryJournal crashed(temp.paths(), nullptr);
            for (int i = 0; i < 50; ++i)
                crashed.Open(QStringLiteral("無題%1").arg(i + 1), QueryLines(500 + i));
            crashed.Flush(60'000);
        } // no EndSession: left as a crash leaves it
        state.ResumeTiming();

        QueryJournal journal(temp.paths(), nullptr);
        journal.Flush(60'000);
        std::vector<store::KeptDocument> restored;
        {
            store::OrphanClaim claim = store::OrphanClaim::Take(temp.paths(), journal.Session());
            store::JournalReader reader(temp.paths());
            for (const store::KeptDocument& doc : claim.Documents()) {
                benchmark::DoNotOptimize(reader.Text(doc.id));
                journal.Adopt(doc.id, doc.caption);
            }
            journal.DiscardSessions(claim.Sessions());
            journal.Flush(60'000);
            restored = claim.Documents();
        }
        if (restored.size() != 50)
            state.SkipWithError("not 50 documents restored");

        state.PauseTiming();
        journal.EndSession();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Restore50Documents)->Unit(benchmark::kMillisecond);

// Opening a full store at start-up (its check included): 500 closed
// documents of 500 lines and a 20 MB one.
void BM_OpenFullStore(benchmark::State& state) {
    TempStore temp;
    {
        QueryJournal journal(temp.paths(), nullptr);
        for (int i = 0; i < 500; ++i)
            journal.Close(journal.Open(QStringLiteral("無題%1").arg(i + 1), QueryLines(500)));
        journal.Close(journal.Open(QStringLiteral("/tmp/dump.sql"), Dump()));
        journal.EndSession(60'000);
    }
    for (auto _ : state) {
        QueryJournal journal(temp.paths(), nullptr);
        journal.Flush(60'000);
        if (journal.Session() == 0)
            state.SkipWithError("no store");
        state.PauseTiming();
        journal.EndSession();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenFullStore)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
