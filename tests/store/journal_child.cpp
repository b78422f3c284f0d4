// A second instance for the tests: writes the scripted documents into a
// store and then stays (to be killed) or ends.
//
//   brindle_journal_child DIR hold
//       prints "ready SESSION" once everything is written, then waits: a
//       line "end" on stdin ends the session cleanly, the end of input
//       leaves it as a crash would (so does SIGKILL, which the tests use).
//   brindle_journal_child DIR populate OUTDIR
//       writes OUTDIR/ID.txt for every kept document with the text it must
//       have, and leaves the session as a crash would.
//   brindle_journal_child DIR record COUNT TAG
//       records COUNT batches "TAG n" (n from 1) in the query history, in
//       bursts of 50 each written at once, and ends when all are written.

#include "scripted_documents.h"
#include "store/journal_reader.h"
#include "store/query_history.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

using namespace brindle;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: brindle_journal_child DIR hold|populate OUTDIR|record COUNT TAG\n",
                   stderr);
        return 2;
    }
    const store::StorePaths paths{QFile::decodeName(argv[1])};
    const std::string mode = argv[2];
    if (mode == "record" && argc == 5) {
        store::HistoryRecorder recorder(paths, nullptr, true);
        const int count = std::atoi(argv[3]);
        for (int n = 1; n <= count; ++n) {
            store::HistoryEntry entry;
            entry.started = QDateTime::currentDateTimeUtc();
            entry.dsn = QStringLiteral("BrindleSample");
            entry.caption = QStringLiteral("brindle-cli");
            entry.text = QString::fromLocal8Bit(argv[4]) + u' ' + QString::number(n);
            recorder.Record(std::move(entry));
            if (n % 50 == 0 && !recorder.Flush(60'000))
                return 1;
        }
        return recorder.Flush(60'000) ? 0 : 1;
    }
    store::QueryJournal journal(paths, [](const store::JournalProblem& problem) {
        std::fprintf(stderr, "journal problem %d: %s\n", static_cast<int>(problem.kind),
                     problem.detail.toLocal8Bit().constData());
    });
    const test::ScriptedDocuments kept = test::WriteScriptedDocuments(journal);
    if (mode == "hold") {
        std::printf("ready %lld\n", static_cast<long long>(journal.Session()));
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) {
            if (line == "end") {
                journal.EndSession();
                std::puts("ended");
                std::fflush(stdout);
            }
        }
        return 0;
    }
    if (mode == "populate" && argc == 4) {
        store::JournalReader reader(paths);
        for (const store::KeptDocument& doc : reader.All()) {
            QFile out(QFile::decodeName(argv[3]) + u'/' + QString::number(doc.id) + u".txt");
            if (!out.open(QIODevice::WriteOnly) ||
                out.write(kept.at(doc.caption).text.toUtf8()) < 0)
                return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "brindle_journal_child: unknown mode %s\n", argv[2]);
    return 2;
}
