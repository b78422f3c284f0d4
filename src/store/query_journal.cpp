#include "store/query_journal.h"

#include "store/journal_worker.h"

namespace brindle::store {

class QueryJournal::Worker : public JournalWorker {
public:
    using JournalWorker::JournalWorker;
};

namespace {

JournalCommand Command(auto what) {
    return {std::move(what), std::chrono::system_clock::now()};
}

} // namespace

QueryJournal::QueryJournal(StorePaths paths, std::function<void(const JournalProblem&)> onProblem)
    : m_worker(std::make_unique<Worker>(std::move(paths), std::move(onProblem))) {}

QueryJournal::~QueryJournal() = default;

qint64 QueryJournal::Session() const {
    return m_worker->Session();
}

QueryJournal::Key QueryJournal::Open(const QString& caption, const QString& text) {
    const Key key = m_worker->NewKey();
    m_worker->Post(Command(command::Open{key, caption, text}), false);
    return key;
}

QueryJournal::Key QueryJournal::Adopt(qint64 documentId, const QString& caption) {
    const Key key = m_worker->NewKey();
    m_worker->Post(Command(command::Adopt{key, documentId, caption}), true);
    return key;
}

void QueryJournal::Edit(Key key, qsizetype position, qsizetype removed, const QString& inserted) {
    m_worker->Post(Command(command::Edit{key, position, removed, inserted}), false);
}

void QueryJournal::Replace(Key key, const QString& text) {
    m_worker->Post(Command(command::Replace{key, text}), false);
}

void QueryJournal::Rename(Key key, const QString& caption) {
    m_worker->Post(Command(command::Rename{key, caption}), false);
}

void QueryJournal::Close(Key key) {
    m_worker->Post(Command(command::Close{key}), true);
}

void QueryJournal::DiscardSessions(const std::vector<qint64>& sessions) {
    m_worker->Post(Command(command::DiscardSessions{sessions}), true);
}

void QueryJournal::Delete(const std::vector<qint64>& documentIds) {
    m_worker->Post(Command(command::Delete{documentIds}), true);
}

void QueryJournal::EndSession(int timeoutMs) {
    m_worker->PostAndWait(Command(command::EndSession{}), timeoutMs);
}

bool QueryJournal::Flush(int timeoutMs) {
    return m_worker->PostAndWait(Command(command::Flush{}), timeoutMs);
}

} // namespace brindle::store
