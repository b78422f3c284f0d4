#include "store/orphan_claim.h"

#include "store/document_rows.h"
#include "store/local_store.h"
#include "store/store_time.h"

#include <algorithm>

namespace brindle::store {

namespace {

// Writable when it can be, to end the sessions that leave nothing to
// restore; read-only otherwise.
SqliteConnection OpenForClaim(const StorePaths& paths, bool& writable) {
    try {
        writable = true;
        return OpenExistingStore(paths, true);
    } catch (const Error&) {
        writable = false;
        return OpenExistingStore(paths, false);
    }
}

bool StillRunningOrCrashed(const SqliteConnection& db, qint64 session) {
    SqliteStatement query(db, "SELECT ended IS NULL FROM sessions WHERE id = ?", kCannotRead);
    query.Bind(1, session);
    return query.Step() && query.Int(0) != 0;
}

std::vector<KeptDocument> OpenDocumentsOf(const SqliteConnection& db, qint64 session) {
    const QByteArray sql = QByteArray("SELECT ") + kKeptDocumentColumns +
                           " FROM kept_documents WHERE session = ? AND state = 'open'"
                           " AND first_line <> ''";
    SqliteStatement query(db, sql.constData(), kCannotRead);
    query.Bind(1, session);
    return ReadKeptDocuments(query);
}

// A crashed session with nothing but blank documents: ended here, as its own
// closing would have done.
bool EndEmptySession(const SqliteConnection& db, qint64 session) {
    try {
        SqliteTransaction transaction(db, true, kCannotWrite);
        SqliteStatement blank(
            db,
            "DELETE FROM kept_documents WHERE session = ? AND state = 'open' AND first_line = ''",
            kCannotWrite);
        blank.Bind(1, session).Run();
        SqliteStatement end(db, "UPDATE sessions SET ended = ? WHERE id = ? AND ended IS NULL",
                            kCannotWrite);
        end.Bind(1, StoreTimeNow()).Bind(2, session).Run();
        transaction.Commit();
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace

OrphanClaim OrphanClaim::Take(const StorePaths& paths, qint64 ownSession) {
    OrphanClaim claim;
    claim.m_paths = paths;
    try {
        bool writable = false;
        const SqliteConnection db = OpenForClaim(paths, writable);
        std::vector<std::pair<qint64, QString>> candidates;
        {
            SqliteStatement query(db,
                                  "SELECT id, lock FROM sessions WHERE ended IS NULL AND id <> ?"
                                  " ORDER BY id",
                                  kCannotRead);
            query.Bind(1, ownSession);
            while (query.Step())
                candidates.emplace_back(query.Int(0), query.Text(1));
        }
        for (const auto& [session, name] : candidates) {
            std::optional<SessionLock> lock = SessionLock::TryTake(paths.SessionLocks(), name);
            if (!lock)
                continue; // running, or claimed by another instance
            // It may have ended (restored by another instance) between our
            // list and our lock.
            if (!StillRunningOrCrashed(db, session)) {
                if (lock->Created())
                    lock->RemoveFile();
                continue;
            }
            std::vector<KeptDocument> docs = OpenDocumentsOf(db, session);
            if (docs.empty()) {
                if (writable && EndEmptySession(db, session))
                    lock->RemoveFile();
                continue;
            }
            claim.m_sessions.push_back(session);
            claim.m_locks.push_back(std::move(*lock));
            for (KeptDocument& doc : docs)
                claim.m_documents.push_back(std::move(doc));
        }
    } catch (const Error&) {
        claim.Release();
        claim.m_sessions.clear();
        claim.m_documents.clear();
        return claim;
    }
    std::stable_sort(claim.m_documents.begin(), claim.m_documents.end(),
                     [](const KeptDocument& a, const KeptDocument& b) {
                         return a.changed != b.changed ? a.changed > b.changed : a.id > b.id;
                     });
    return claim;
}

OrphanClaim::~OrphanClaim() {
    Release();
}

OrphanClaim::OrphanClaim(OrphanClaim&& other) noexcept
    : m_paths(std::move(other.m_paths)), m_sessions(std::move(other.m_sessions)),
      m_locks(std::move(other.m_locks)), m_documents(std::move(other.m_documents)) {
    other.m_locks.clear();
}

OrphanClaim& OrphanClaim::operator=(OrphanClaim&& other) noexcept {
    if (this != &other) {
        Release();
        m_paths = std::move(other.m_paths);
        m_sessions = std::move(other.m_sessions);
        m_locks = std::move(other.m_locks);
        m_documents = std::move(other.m_documents);
        other.m_locks.clear();
    }
    return *this;
}

void OrphanClaim::Release() noexcept {
    if (m_locks.empty())
        return;
    // Sessions that ended meanwhile (restored or discarded) lose their lock
    // file, deleted while still held so that nobody takes it in between;
    // the others stay to be offered again.
    try {
        const SqliteConnection db = OpenExistingStore(m_paths, false);
        for (std::size_t i = 0; i < m_locks.size() && i < m_sessions.size(); ++i) {
            if (!StillRunningOrCrashed(db, m_sessions[i]))
                m_locks[i].RemoveFile();
        }
    } catch (...) {
    }
    m_locks.clear();
}

} // namespace brindle::store
