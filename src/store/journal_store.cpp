#include "store/journal_store.h"

#include "store/document_rows.h"
#include "store/store_time.h"

#include <QDateTime>
#include <QDir>

#include <set>

#include <unistd.h>

namespace brindle::store {

namespace {

// Texts shorter than this are written whole on every write; longer ones get
// their edits appended, and a fresh snapshot once the edits since the last
// one pass kMaxEditRows rows or 1/kEditShare of the text.
constexpr qsizetype kWholeBelow = 256 * 1024;
constexpr qint64 kMaxEditRows = 1000;
constexpr qint64 kEditShare = 8;

// Closed documents are kept this long, and at most this many.
constexpr int kKeepDays = 30;
constexpr int kKeepClosed = 500;

} // namespace

struct JournalStore::Outcome {
    qint64 row = 0;
    bool drop = false;     // closed: no longer one of the session's documents
    bool snapshot = false; // the whole text was written, no edit rows after it
    qint64 editRows = 0;   // else: edit rows appended
};

JournalStore::JournalStore(StorePaths paths) : m_paths(std::move(paths)) {}

bool JournalStore::Open() {
    if (IsOpen())
        return false;
    OpenedStore store = OpenLocalStore(m_paths);
    const bool another = !store.movedAside.isEmpty() ||
                         (m_lastOpened != FileIdentity{} && store.identity != m_lastOpened);
    if (!store.movedAside.isEmpty())
        m_movedAside = store.movedAside;
    m_lastOpened = store.identity;
    if (!m_lock)
        m_lock = SessionLock::CreateNew(m_paths.SessionLocks());
    m_store = std::move(store);
    try {
        StartSession();
    } catch (const Error&) {
        Close();
        throw;
    }
    RemoveStaleLockFiles();
    return another;
}

void JournalStore::RemoveStaleLockFiles() noexcept {
    // Lock files no session names (their store was moved aside, or their
    // program died before writing its row) and nobody holds.
    try {
        std::set<QString> named;
        SqliteStatement query(m_store.db, "SELECT lock FROM sessions", kCannotRead);
        while (query.Step())
            named.insert(query.Text(0));
        const QString directory = m_paths.SessionLocks();
        for (const QString& name : QDir(directory).entryList(QDir::Files | QDir::Hidden)) {
            if (named.count(name) != 0 || name == m_lock.Name())
                continue;
            if (std::optional<SessionLock> stale = SessionLock::TryTake(directory, name))
                stale->RemoveFile();
        }
    } catch (...) {
    }
}

void JournalStore::StartSession() {
    const SqliteConnection& db = m_store.db;
    SqliteTransaction transaction(db, true, kCannotWrite);
    const QString now = StoreTimeNow();
    // The lock file exists and is held before the row that names it.
    SqliteStatement find(db, "SELECT id FROM sessions WHERE lock = ?", kCannotWrite);
    find.Bind(1, m_lock.Name());
    qint64 session = find.Step() ? find.Int(0) : 0;
    find.Reset();
    if (session != 0) {
        SqliteStatement reopen(db, "UPDATE sessions SET ended = NULL WHERE id = ?", kCannotWrite);
        reopen.Bind(1, session).Run();
    } else {
        SqliteStatement insert(db, "INSERT INTO sessions(lock, pid, started) VALUES(?, ?, ?)",
                               kCannotWrite);
        insert.Bind(1, m_lock.Name()).Bind(2, static_cast<qint64>(::getpid())).Bind(3, now).Run();
        session = db.LastRowId();
    }
    const QString cutoff = StoreTime(QDateTime::currentDateTimeUtc().addDays(-kKeepDays));
    SqliteStatement prune(
        db,
        "DELETE FROM kept_documents WHERE state = 'closed' AND (closed < ? OR id NOT IN"
        " (SELECT id FROM kept_documents WHERE state = 'closed'"
        " ORDER BY closed DESC, id DESC LIMIT ?))",
        kCannotWrite);
    prune.Bind(1, cutoff).Bind(2, qint64{kKeepClosed}).Run();
    db.Exec("DELETE FROM sessions WHERE ended IS NOT NULL AND NOT EXISTS"
            " (SELECT 1 FROM kept_documents WHERE kept_documents.session = sessions.id)",
            kCannotWrite);
    transaction.Commit();
    m_session = session;
}

bool JournalStore::Replaced() const {
    return IsOpen() && IdentityOf(m_paths.Database()) != m_store.identity;
}

void JournalStore::Close() noexcept {
    m_store = OpenedStore();
    m_session = 0;
}

QString JournalStore::MoveAside() {
    Close();
    return MoveDamagedStoreAside(m_paths.Database());
}

std::optional<QString> JournalStore::ReadText(qint64 documentId) {
    return ReadDocumentText(m_store.db, documentId);
}

qint64 JournalStore::InsertDocument(const ShadowDocument& doc, const QString& firstLine) {
    SqliteStatement insert(m_store.db,
                           "INSERT INTO kept_documents(session, state, caption, first_line, length,"
                           " created, changed, closed) VALUES(?, ?, ?, ?, ?, ?, ?, ?)",
                           kCannotWrite);
    insert.Bind(1, m_session)
        .Bind(2, doc.closing ? QStringLiteral("closed") : QStringLiteral("open"))
        .Bind(3, doc.caption)
        .Bind(4, firstLine)
        .Bind(5, static_cast<qint64>(doc.text.size()))
        .Bind(6, StoreTime(doc.created))
        .Bind(7, StoreTime(doc.changed));
    if (doc.closing)
        insert.Bind(8, StoreTime(doc.closedAt));
    insert.Run();
    const qint64 row = m_store.db.LastRowId();
    SqliteStatement text(m_store.db, "INSERT INTO snapshots(document, text) VALUES(?, ?)",
                         kCannotWrite);
    text.Bind(1, row).Bind(2, doc.text).Run();
    return row;
}

JournalStore::Outcome JournalStore::WriteDocument(DocumentKey key, const ShadowDocument& doc) {
    const SqliteConnection& db = m_store.db;
    Outcome out;
    out.row = doc.row;
    if (doc.textUnknown) {
        // Nothing true to write; a Replace will give the text.
        out.drop = doc.closing;
        return out;
    }
    if (doc.adopting) {
        const auto adopted = m_adopted.find(key);
        out.row = adopted != m_adopted.end() ? adopted->second : 0;
    }
    const QString firstLine = FirstLine(doc.text);
    if (doc.closing && firstLine.isEmpty()) {
        // A blank text is not kept.
        if (out.row != 0) {
            SqliteStatement drop(db, "DELETE FROM kept_documents WHERE id = ? AND session = ?",
                                 kCannotWrite);
            drop.Bind(1, out.row).Bind(2, m_session).Run();
        }
        out.drop = true;
        return out;
    }
    out.drop = doc.closing;
    out.snapshot = true;
    if (out.row == 0) {
        if (!firstLine.isEmpty())
            out.row = InsertDocument(doc, firstLine);
        return out;
    }
    const qsizetype size = doc.text.size();
    out.snapshot = doc.snapshotDue || doc.closing || size < kWholeBelow ||
                   doc.storedEditRows + static_cast<qint64>(doc.edits.size()) > kMaxEditRows ||
                   (doc.storedEditUnits + doc.editUnits) * kEditShare > size;
    // The row first: it says whether the document is still ours.
    SqliteStatement head(db,
                         "UPDATE kept_documents SET state = ?, caption = ?, first_line = ?,"
                         " length = ?, changed = ?, closed = ? WHERE id = ? AND session = ?",
                         kCannotWrite);
    head.Bind(1, doc.closing ? QStringLiteral("closed") : QStringLiteral("open"))
        .Bind(2, doc.caption)
        .Bind(3, firstLine)
        .Bind(4, static_cast<qint64>(size))
        .Bind(5, StoreTime(doc.changed))
        .Bind(7, out.row)
        .Bind(8, m_session);
    if (doc.closing)
        head.Bind(6, StoreTime(doc.closedAt));
    head.Run();
    if (db.Changes() == 0) {
        // Taken by another session (or deleted): ours goes on in a row of
        // its own.
        out.row = InsertDocument(doc, firstLine);
        out.snapshot = true;
        return out;
    }
    if (out.snapshot) {
        SqliteStatement text(db, "UPDATE snapshots SET text = ? WHERE document = ?", kCannotWrite);
        text.Bind(1, doc.text).Bind(2, out.row).Run();
        SqliteStatement clear(db, "DELETE FROM edits WHERE document = ?", kCannotWrite);
        clear.Bind(1, out.row).Run();
        return out;
    }
    out.snapshot = false;
    SqliteStatement append(db,
                           "INSERT INTO edits(document, seq, position, removed, inserted)"
                           " VALUES(?, ?, ?, ?, ?)",
                           kCannotWrite);
    qint64 seq = doc.nextSeq;
    for (const TextEdit& edit : doc.edits) {
        append.Bind(1, out.row)
            .Bind(2, seq++)
            .Bind(3, static_cast<qint64>(edit.position))
            .Bind(4, static_cast<qint64>(edit.removed))
            .Bind(5, edit.inserted)
            .Run();
        append.Reset();
    }
    out.editRows = static_cast<qint64>(doc.edits.size());
    return out;
}

void JournalStore::RunOperation(const StoreOperation& operation) {
    const SqliteConnection& db = m_store.db;
    const QString now = StoreTimeNow();
    if (const auto* discard = std::get_if<command::DiscardSessions>(&operation)) {
        SqliteStatement dropBlank(
            db,
            "DELETE FROM kept_documents WHERE session = ? AND state = 'open' AND first_line = ''",
            kCannotWrite);
        SqliteStatement close(db,
                              "UPDATE kept_documents SET state = 'closed', closed = ?"
                              " WHERE session = ? AND state = 'open'",
                              kCannotWrite);
        SqliteStatement end(db, "UPDATE sessions SET ended = ? WHERE id = ? AND ended IS NULL",
                            kCannotWrite);
        for (const qint64 session : discard->sessions) {
            if (session == m_session)
                continue;
            dropBlank.Bind(1, session).Run();
            dropBlank.Reset();
            close.Bind(1, now).Bind(2, session).Run();
            close.Reset();
            end.Bind(1, now).Bind(2, session).Run();
            end.Reset();
        }
    } else if (const auto* remove = std::get_if<command::Delete>(&operation)) {
        SqliteStatement drop(db, "DELETE FROM kept_documents WHERE id = ? AND state = 'closed'",
                             kCannotWrite);
        for (const qint64 id : remove->documentIds) {
            drop.Bind(1, id).Run();
            drop.Reset();
        }
    } else if (const auto* adopt = std::get_if<AdoptRow>(&operation)) {
        // Moves here from a crashed session or the closed list; one open in
        // a session (this one, or another that took it meanwhile) is copied
        // instead, at the document's write.
        SqliteStatement move(db,
                             "UPDATE kept_documents SET session = ?1, state = 'open', closed = NULL"
                             " WHERE id = ?2 AND (state = 'closed' OR session <> ?1)",
                             kCannotWrite);
        move.Bind(1, m_session).Bind(2, adopt->row).Run();
        m_adopted[adopt->key] = db.Changes() == 1 ? adopt->row : 0;
    }
}

void JournalStore::Write(JournalShadows& shadows) {
    std::vector<std::pair<DocumentKey, Outcome>> outcomes;
    m_adopted.clear();
    {
        SqliteTransaction transaction(m_store.db, true, kCannotWrite);
        for (const StoreOperation& operation : shadows.operations)
            RunOperation(operation);
        for (const auto& [key, doc] : shadows.docs) {
            if (doc.dirty)
                outcomes.emplace_back(key, WriteDocument(key, doc));
        }
        if (shadows.endRequested) {
            SqliteStatement end(m_store.db, "UPDATE sessions SET ended = ? WHERE id = ?",
                                kCannotWrite);
            end.Bind(1, StoreTimeNow()).Bind(2, m_session).Run();
        }
        transaction.Commit();
    }
    // Written: the shadows now say what the store holds.
    shadows.operations.clear();
    for (const auto& [key, out] : outcomes) {
        const auto it = shadows.docs.find(key);
        if (out.drop) {
            shadows.docs.erase(it);
            continue;
        }
        ShadowDocument& doc = it->second;
        doc.row = out.row;
        doc.adopting = false;
        doc.dirty = false;
        if (out.snapshot) {
            doc.storedEditRows = 0;
            doc.storedEditUnits = 0;
            doc.nextSeq = 1;
            doc.snapshotDue = doc.text.size() < kWholeBelow;
        } else {
            doc.storedEditRows += out.editRows;
            doc.storedEditUnits += doc.editUnits;
            doc.nextSeq += out.editRows;
        }
        doc.edits.clear();
        doc.editUnits = 0;
    }
    if (shadows.endRequested) {
        shadows.endRequested = false;
        // A clean end leaves nothing to claim: the lock file goes, while
        // still held so that nobody takes it in between.
        m_lock.RemoveFile();
    }
}

} // namespace brindle::store
