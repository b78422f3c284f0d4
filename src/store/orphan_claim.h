#pragma once

#include "store/kept_document.h"
#include "store/session_lock.h"
#include "store/store_paths.h"

#include <vector>

namespace brindle::store {

// The sessions of instances that ended without closing (a crash, a kill, a
// power cut), claimed by this instance: while the claim lives, no other
// instance sees them. Sessions still running elsewhere are never claimed.
class OrphanClaim {
public:
    // Claims every such session but `ownSession`; an unusable store gives an
    // empty claim.
    static OrphanClaim Take(const StorePaths& paths, qint64 ownSession);
    ~OrphanClaim(); // releases the claim
    OrphanClaim(OrphanClaim&&) noexcept;
    OrphanClaim& operator=(OrphanClaim&&) noexcept;
    OrphanClaim(const OrphanClaim&) = delete;
    OrphanClaim& operator=(const OrphanClaim&) = delete;

    // Their open documents, the most recently changed first.
    const std::vector<KeptDocument>& Documents() const { return m_documents; }
    const std::vector<qint64>& Sessions() const { return m_sessions; }

private:
    OrphanClaim() = default;
    void Release() noexcept;

    StorePaths m_paths;
    std::vector<qint64> m_sessions;
    std::vector<SessionLock> m_locks; // one per session, in the same order
    std::vector<KeptDocument> m_documents;
};

} // namespace brindle::store
