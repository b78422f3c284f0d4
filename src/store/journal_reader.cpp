#include "store/journal_reader.h"

#include "store/document_rows.h"
#include "store/local_store.h"

namespace brindle::store {

class JournalReader::Database {
public:
    explicit Database(const StorePaths& paths) : db(OpenExistingStore(paths, false)) {}
    SqliteConnection db;
};

JournalReader::JournalReader(const StorePaths& paths) : m_db(std::make_unique<Database>(paths)) {}

JournalReader::~JournalReader() = default;

std::vector<KeptDocument> JournalReader::All() {
    const QByteArray sql = QByteArray("SELECT ") + kKeptDocumentColumns +
                           " FROM kept_documents ORDER BY changed DESC, id DESC";
    SqliteStatement query(m_db->db, sql.constData(), kCannotRead);
    return ReadKeptDocuments(query);
}

std::vector<KeptDocument> JournalReader::Closed(int limit, const QString& filter) {
    const QByteArray sql = QByteArray("SELECT ") + kKeptDocumentColumns +
                           " FROM kept_documents WHERE state = 'closed'"
                           " ORDER BY closed DESC, id DESC LIMIT ?";
    SqliteStatement query(m_db->db, sql.constData(), kCannotRead);
    if (filter.isEmpty()) {
        query.Bind(1, static_cast<qint64>(limit));
        return ReadKeptDocuments(query);
    }
    // Qt's case-insensitive match (full-width letters too) over at most the
    // 500 kept documents: fast enough, and the same match as the editor's.
    query.Bind(1, qint64{-1});
    std::vector<KeptDocument> found;
    for (KeptDocument& doc : ReadKeptDocuments(query)) {
        if (limit >= 0 && found.size() >= static_cast<std::size_t>(limit))
            break;
        bool match = doc.caption.contains(filter, Qt::CaseInsensitive);
        if (!match) {
            const std::optional<QString> text = ReadDocumentText(m_db->db, doc.id);
            match = text && text->contains(filter, Qt::CaseInsensitive);
        }
        if (match)
            found.push_back(std::move(doc));
    }
    return found;
}

std::optional<QString> JournalReader::Text(qint64 documentId) {
    return ReadDocumentText(m_db->db, documentId);
}

} // namespace brindle::store
