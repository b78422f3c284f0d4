#pragma once

#include "store/journal_shadows.h"
#include "store/local_store.h"
#include "store/session_lock.h"

namespace brindle::store {

// The journal worker's side of the store: its connection, its session and
// lock, and the one transaction that writes what the shadows hold. Worker
// thread only; every failure is an Error, after which nothing is changed.
class JournalStore {
public:
    explicit JournalStore(StorePaths paths);

    // Opens the store (made, or moved aside and made afresh, as needed),
    // takes the session's lock and starts the session in it, and prunes old
    // closed documents. Nothing when it is open already. True when the store
    // it opened is not the one it had open before: rows known from that one
    // mean nothing in this one.
    bool Open();
    bool IsOpen() const { return static_cast<bool>(m_store.db); }
    // The file at the store's path is not the one open: someone moved it
    // aside or deleted it.
    bool Replaced() const;
    // Drops the connection; the session's lock stays held.
    void Close() noexcept;
    // Moves the store aside as damaged (closing it first); returns where to.
    QString MoveAside();

    qint64 Session() const { return m_session; }
    // Where the last Open moved a damaged store, once.
    QString TakeMovedAside() { return std::exchange(m_movedAside, QString()); }

    // The store must be open for these two.
    std::optional<QString> ReadText(qint64 documentId);
    // Writes every operation and changed document of `shadows`, and the
    // session's end when asked, in one transaction; then updates `shadows`
    // to what the store holds.
    void Write(JournalShadows& shadows);

private:
    struct Outcome;
    Outcome WriteDocument(DocumentKey key, const ShadowDocument& doc);
    void RunOperation(const StoreOperation& operation);
    void StartSession();
    void RemoveStaleLockFiles() noexcept;
    qint64 InsertDocument(const ShadowDocument& doc, const QString& firstLine);

    StorePaths m_paths;
    OpenedStore m_store;
    SessionLock m_lock;
    qint64 m_session = 0;
    QString m_movedAside;
    FileIdentity m_lastOpened;               // the file of the last store opened
    std::map<DocumentKey, qint64> m_adopted; // rows moved here in this write
};

} // namespace brindle::store
