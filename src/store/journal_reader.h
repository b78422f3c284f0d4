#pragma once

#include "store/kept_document.h"
#include "store/store_paths.h"

#include <memory>
#include <optional>
#include <vector>

namespace brindle::store {

// Reads the kept documents: the lists of the windows and brindle-cli. Opens
// the store read-only and never creates or repairs it; throws Error when
// there is no store or it cannot be read.
class JournalReader {
public:
    explicit JournalReader(const StorePaths& paths);
    ~JournalReader();
    JournalReader(const JournalReader&) = delete;
    JournalReader& operator=(const JournalReader&) = delete;

    // Every kept document, the most recently changed first.
    std::vector<KeptDocument> All();
    // Closed documents, the most recently closed first, at most `limit`;
    // with a filter, those whose caption or text holds it (any case).
    std::vector<KeptDocument> Closed(int limit, const QString& filter = QString());
    // The whole text as last written; nothing for an unknown id.
    std::optional<QString> Text(qint64 documentId);

private:
    class Database;
    std::unique_ptr<Database> m_db;
};

} // namespace brindle::store
