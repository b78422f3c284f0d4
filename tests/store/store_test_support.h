#pragma once

#include "store/query_history.h"
#include "store/query_journal.h"
#include "store/store_paths.h"

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <csignal>

#include <sys/resource.h>
#include <sys/types.h>

namespace brindle::test {

using namespace std::chrono_literals;

// Generous: a busy machine and the sanitizer builds are slow, and the
// journal retries every two seconds.
inline constexpr auto kDeadline = 60s;
// How long a Flush may wait: the store's own ten seconds are for the program,
// not for a sanitizer build on a loaded machine.
inline constexpr int kFlushWaitMs = 60000;

// Polls `condition` until it holds or `deadline` passes.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = kDeadline);

// A store of its own in a temporary directory.
class TempStore {
public:
    TempStore();
    QString root() const { return m_dir.path(); }
    const store::StorePaths& paths() const { return m_paths; }

private:
    QTemporaryDir m_dir;
    store::StorePaths m_paths;
};

// Makes the store's directory read-only (0500) before anything opens it. As
// root, which meets permissions only as another user, the files are handed
// to nobody; the test then acts as that user through WithoutRootAccess.
void MakeReadOnlyStoreDirectory(const TempStore& temp);

// What the journal reported; its callback runs on the journal's thread.
class ProblemLog {
public:
    std::function<void(const store::JournalProblem&)> Callback();
    int Count(store::JournalProblem::Kind kind) const;
    std::vector<store::JournalProblem> All() const;
    // Waits until `kind` has been reported `times` times in all.
    bool WaitFor(store::JournalProblem::Kind kind, int times = 1);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<store::JournalProblem> m_problems;
};

// The text of the kept document with this caption (one with it must exist),
// read back through JournalReader; "<missing>" when there is none.
QString KeptText(const store::StorePaths& paths, const QString& caption);
qint64 KeptId(const store::StorePaths& paths, const QString& caption);

// A scalar from the store through a connection of the test's own.
qint64 QueryNumber(const store::StorePaths& paths, const char* sql);
void ExecuteSql(const store::StorePaths& paths, const char* sql);

mode_t ModeOf(const QString& path);

// A batch that ran, as a recorder is handed it.
store::HistoryEntry
HistoryEntryOf(const QString& text, const QString& dsn = QStringLiteral("BrindleSample"),
               store::HistoryOutcome outcome = store::HistoryOutcome::Completed);

// Every entry's text through a HistoryReader, the oldest first.
std::vector<QString> HistoryTexts(const store::StorePaths& paths);

// brindle_journal_child running on a store, its stdin and stdout piped.
// Killed with SIGKILL and reaped when dropped.
class ChildJournal {
public:
    ChildJournal(const store::StorePaths& paths, const std::vector<std::string>& args);
    ~ChildJournal();
    ChildJournal(const ChildJournal&) = delete;
    ChildJournal& operator=(const ChildJournal&) = delete;

    // The next line it prints (without its LF); empty at its end.
    std::string ReadLine();
    void Send(const std::string& line);
    void Kill();
    // Waits for it to end by itself; its exit status, -1 when it did not exit.
    int Wait();
    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
};

} // namespace brindle::test
