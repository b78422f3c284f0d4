#pragma once

#include "store/query_journal.h"
#include "store/store_paths.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace brindle::store {

// How a batch ended.
enum class HistoryOutcome {
    Completed,
    Failed,    // `error` has the driver's description
    Cancelled, // the user stopped it
};

// One batch that ran, as the history keeps it. Never a password.
struct HistoryEntry {
    qint64 id = 0;         // given by the store; 0 for an entry not yet written
    QDateTime started;     // when the batch was sent (UTC)
    qint64 durationMs = 0; // until its result was fetched or it failed
    QString dsn;           // the data source's name
    QString login;         // the login name, as given (may be empty)
    QString caption;       // the document's caption ("無題1", a path) or "brindle-cli"
    qint64 rows = -1;      // rows fetched, or changed when `rowsChanged`; -1: not known
    bool rowsChanged = false;
    HistoryOutcome outcome = HistoryOutcome::Completed;
    QString error;     // the driver's description of a failure
    QString text;      // the batch whole, as sent (lists may leave it empty)
    QString firstLine; // the first line that is not blank, trimmed
};

// What a list shows: every field is optional (empty: no narrowing).
struct HistoryFilter {
    QString search; // anywhere in the text, any case, any language
    QString dsn;    // exactly this data source
    bool failuresOnly = false;
};

// Records the batches that ran. Record only hands the entry over: a worker
// thread of its own writes it, in the order handed over, and a store that
// cannot be written is reported once through `onProblem` (on the worker
// thread); the run never waits or fails for it. Entries older than 90 days
// and beyond the newest 100,000 are dropped.
class HistoryRecorder {
public:
    // `repairDamage`: a damaged store may be moved aside and a fresh one made
    // (brindle-cli); the window leaves that to its query journal and reports
    // the store unavailable instead.
    HistoryRecorder(StorePaths paths, std::function<void(const JournalProblem&)> onProblem,
                    bool repairDamage);
    // Writes what is pending (waiting at most a few seconds) and stops.
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    void Record(HistoryEntry entry);
    // Waits until everything handed over so far is written or has failed;
    // false when `timeoutMs` ran out first.
    bool Flush(int timeoutMs = 10000);

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};

// Reads, searches and deletes the history: the window's list and
// brindle-cli history. Opens an existing store and never creates or repairs
// it; throws Error when there is none or it cannot be read (the window then
// says the history is not available).
class HistoryReader {
public:
    explicit HistoryReader(const StorePaths& paths);
    ~HistoryReader();
    HistoryReader(const HistoryReader&) = delete;
    HistoryReader& operator=(const HistoryReader&) = delete;

    // Matching entries, newest first, at most `limit`, only those with an id
    // below `beforeId` when it is not 0 (the next page). Texts are filled
    // only `withText`; firstLine always.
    std::vector<HistoryEntry> List(const HistoryFilter& filter, int limit, qint64 beforeId = 0,
                                   bool withText = false);
    // The whole text of one entry; nothing for an unknown id.
    std::optional<QString> Text(qint64 id);
    // The data sources the history holds, sorted.
    QStringList DataSources();

    void Delete(const std::vector<qint64>& ids);
    void Clear();

private:
    class Database;
    std::unique_ptr<Database> m_db;
};

// The outcome's name in the store and in brindle-cli's output.
QString OutcomeName(HistoryOutcome outcome);

} // namespace brindle::store
