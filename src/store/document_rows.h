#pragma once

#include "store/kept_document.h"
#include "store/sqlite_handles.h"

#include <optional>
#include <vector>

namespace brindle::store {

// The columns ReadKeptDocument reads, in its order, for SELECTs of documents.
inline constexpr char kKeptDocumentColumns[] =
    "id, session, state, caption, first_line, changed, closed, length";

KeptDocument ReadKeptDocument(const SqliteStatement& row);

// Every row of `query` (selecting kKeptDocumentColumns first).
std::vector<KeptDocument> ReadKeptDocuments(SqliteStatement& query);

// A document's text: its snapshot with its edits since replayed in order.
// Nothing for an unknown id.
std::optional<QString> ReadDocumentText(const SqliteConnection& db, qint64 id);

} // namespace brindle::store
