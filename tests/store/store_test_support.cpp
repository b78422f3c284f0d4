#include "store_test_support.h"

#include "store/journal_reader.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brindle::test {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TempStore::TempStore() : m_paths{m_dir.path() + u"/Brindle"} {}

void MakeReadOnlyStoreDirectory(const TempStore& temp) {
    const QByteArray dir = QFile::encodeName(temp.paths().directory);
    ASSERT_EQ(::mkdir(dir.constData(), 0500), 0);
    if (::geteuid() == 0) {
        constexpr uid_t kNobody = 65534;
        ASSERT_EQ(::chown(QFile::encodeName(temp.root()).constData(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(dir.constData(), kNobody, kNobody), 0);
    }
}

std::function<void(const store::JournalProblem&)> ProblemLog::Callback() {
    return [this](const store::JournalProblem& problem) {
        const std::lock_guard lock(m_mutex);
        m_problems.push_back(problem);
        m_changed.notify_all();
    };
}

int ProblemLog::Count(store::JournalProblem::Kind kind) const {
    const std::lock_guard lock(m_mutex);
    int n = 0;
    for (const store::JournalProblem& p : m_problems)
        n += p.kind == kind ? 1 : 0;
    return n;
}

std::vector<store::JournalProblem> ProblemLog::All() const {
    const std::lock_guard lock(m_mutex);
    return m_problems;
}

bool ProblemLog::WaitFor(store::JournalProblem::Kind kind, int times) {
    return WaitUntil([&] { return Count(kind) >= times; });
}

qint64 KeptId(const store::StorePaths& paths, const QString& caption) {
    store::JournalReader reader(paths);
    for (const store::KeptDocument& doc : reader.All()) {
        if (doc.caption == caption)
            return doc.id;
    }
    return 0;
}

QString KeptText(const store::StorePaths& paths, const QString& caption) {
    const qint64 id = KeptId(paths, caption);
    if (id == 0)
        return QStringLiteral("<missing>");
    return store::JournalReader(paths).Text(id).value_or(QStringLiteral("<missing>"));
}

namespace {

struct Connection {
    explicit Connection(const store::StorePaths& paths) {
        if (sqlite3_open_v2(QFile::encodeName(paths.Database()).constData(), &db,
                            SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot open the store: " << sqlite3_errmsg(db);
        sqlite3_busy_timeout(db, 10'000);
    }
    ~Connection() { sqlite3_close(db); }
    sqlite3* db = nullptr;
};

} // namespace

qint64 QueryNumber(const store::StorePaths& paths, const char* sql) {
    const Connection c(paths);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(c.db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(c.db);
        return -1;
    }
    const qint64 value = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return value;
}

void ExecuteSql(const store::StorePaths& paths, const char* sql) {
    const Connection c(paths);
    char* message = nullptr;
    if (sqlite3_exec(c.db, sql, nullptr, nullptr, &message) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (message ? message : "?");
    sqlite3_free(message);
}

mode_t ModeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

store::HistoryEntry HistoryEntryOf(const QString& text, const QString& dsn,
                                   store::HistoryOutcome outcome) {
    store::HistoryEntry entry;
    entry.started = QDateTime::currentDateTimeUtc();
    entry.durationMs = 12;
    entry.dsn = dsn;
    entry.login = QStringLiteral("scott");
    entry.caption = QStringLiteral("無題1");
    entry.rows = 3;
    entry.outcome = outcome;
    if (outcome == store::HistoryOutcome::Failed)
        entry.error = QStringLiteral("[SQLite]no such table: t");
    entry.text = text;
    return entry;
}

std::vector<QString> HistoryTexts(const store::StorePaths& paths) {
    store::HistoryReader reader(paths);
    std::vector<QString> texts;
    for (const store::HistoryEntry& entry : reader.List({}, -1, 0, true))
        texts.insert(texts.begin(), entry.text);
    return texts;
}

ChildJournal::ChildJournal(const store::StorePaths& paths, const std::vector<std::string>& args) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    const std::string dir = QFile::encodeName(paths.directory).toStdString();
    std::vector<std::string> all{BRINDLE_JOURNAL_CHILD, dir};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&m_pid, BRINDLE_JOURNAL_CHILD, &actions, nullptr, argv.data(), environ) !=
        0) {
        ADD_FAILURE() << "cannot start " << BRINDLE_JOURNAL_CHILD;
        m_pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    m_in = in[1];
    m_out = out[0];
}

ChildJournal::~ChildJournal() {
    Kill();
    if (m_in >= 0)
        ::close(m_in);
    if (m_out >= 0)
        ::close(m_out);
}

std::string ChildJournal::ReadLine() {
    for (;;) {
        const std::size_t lf = m_buffer.find('\n');
        if (lf != std::string::npos) {
            std::string line = m_buffer.substr(0, lf);
            m_buffer.erase(0, lf + 1);
            return line;
        }
        char chunk[256];
        const ssize_t got = ::read(m_out, chunk, sizeof chunk);
        if (got <= 0)
            return {};
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

void ChildJournal::Send(const std::string& line) {
    const std::string data = line + '\n';
    if (::write(m_in, data.data(), data.size()) != static_cast<ssize_t>(data.size()))
        ADD_FAILURE() << "cannot write to the child";
}

void ChildJournal::Kill() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

int ChildJournal::Wait() {
    if (m_pid <= 0)
        return -1;
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace brindle::test
