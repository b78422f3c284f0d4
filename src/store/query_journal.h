#pragma once

#include "store/store_paths.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace brindle::store {

// Something the user should hear about once; the journal goes on meanwhile,
// keeping every text in memory and trying again.
struct JournalProblem {
    enum class Kind {
        MovedAside,  // the store was damaged: moved aside (path in `detail`), a fresh one made
        Unavailable, // no store can be opened or made: nothing is kept for now
        WriteFailed, // writing failed (disk full, size limit, I/O error)
        Resumed,     // after Unavailable or WriteFailed: everything is written again
    };
    Kind kind;
    QString detail; // the system's or SQLite's own words, or the moved file's path
};

// Keeps the text of every open query document in the local store, on disk no
// later than a second after its last change, and what the user closed. All
// the writing happens on a worker thread of its own: every call here only
// hands work over and returns at once, except Flush and EndSession.
//
// Texts are UTF-16 as QString holds them, lines separated by a single '\n';
// positions and lengths count UTF-16 units of that text.
class QueryJournal {
public:
    using Key = quint64; // one per document of this session, never 0

    // Starts the session (its lock taken, its row written) and the worker.
    // Never throws: a store that cannot be had is reported through
    // `onProblem`, which is called on the worker thread.
    QueryJournal(StorePaths paths, std::function<void(const JournalProblem&)> onProblem);
    // Writes what is pending (waiting for it) and stops the worker. Without
    // EndSession first, the session stays as a crash leaves it.
    ~QueryJournal();
    QueryJournal(const QueryJournal&) = delete;
    QueryJournal& operator=(const QueryJournal&) = delete;

    // This session's id in the store; 0 until the store has been opened or
    // while none can be.
    qint64 Session() const;

    // A new document with its text (empty, or a file's).
    Key Open(const QString& caption, const QString& text);
    // A kept document (restored after a crash, or a closed one reopened)
    // goes on as an open document of this session under `caption`; its row
    // moves here, it is not copied.
    Key Adopt(qint64 documentId, const QString& caption);
    // `removed` units at `position` replaced by `inserted`.
    void Edit(Key key, qsizetype position, qsizetype removed, const QString& inserted);
    void Replace(Key key, const QString& text);
    void Rename(Key key, const QString& caption);
    // Kept as a closed document (an empty text is not kept).
    void Close(Key key);

    // The open documents of these ended-without-closing sessions become
    // closed documents, and the sessions end.
    void DiscardSessions(const std::vector<qint64>& sessions);
    // Closed documents deleted for good.
    void Delete(const std::vector<qint64>& documentIds);

    // A clean end: every open document closed, the session ended. Waits
    // until it is written (at most `timeoutMs`).
    void EndSession(int timeoutMs = 10000);
    // Waits until everything handed over so far is written or has failed;
    // false when `timeoutMs` ran out first.
    bool Flush(int timeoutMs = 10000);

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};

} // namespace brindle::store
