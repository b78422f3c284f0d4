#include "store/document_rows.h"

#include "store/store_time.h"
#include "store/text_edit.h"

namespace brindle::store {

KeptDocument ReadKeptDocument(const SqliteStatement& row) {
    KeptDocument doc;
    doc.id = row.Int(0);
    doc.session = row.Int(1);
    doc.open = row.Text(2) == u"open";
    doc.caption = row.Text(3);
    doc.firstLine = row.Text(4);
    doc.changed = ParseStoreTime(row.Text(5));
    doc.closed = ParseStoreTime(row.Text(6));
    doc.length = row.Int(7);
    return doc;
}

std::vector<KeptDocument> ReadKeptDocuments(SqliteStatement& query) {
    std::vector<KeptDocument> docs;
    while (query.Step())
        docs.push_back(ReadKeptDocument(query));
    return docs;
}

namespace {

std::optional<QString> SnapshotWithEdits(const SqliteConnection& db, qint64 id) {
    SqliteStatement snapshot(db, "SELECT text FROM snapshots WHERE document = ?", kCannotRead);
    snapshot.Bind(1, id);
    if (!snapshot.Step())
        return std::nullopt;
    QString text = snapshot.Text(0);
    SqliteStatement edits(
        db, "SELECT position, removed, inserted FROM edits WHERE document = ? ORDER BY seq",
        kCannotRead);
    edits.Bind(1, id);
    while (edits.Step())
        ApplyEdit(text, {edits.Int(0), edits.Int(1), edits.Text(2)});
    return text;
}

} // namespace

std::optional<QString> ReadDocumentText(const SqliteConnection& db, qint64 id) {
    // One read transaction: the snapshot and its edits from the same commit
    // (the caller's own, when it is in one).
    if (sqlite3_get_autocommit(db.get()) == 0)
        return SnapshotWithEdits(db, id);
    db.Exec("BEGIN", kCannotRead);
    try {
        std::optional<QString> text = SnapshotWithEdits(db, id);
        db.Exec("COMMIT", kCannotRead);
        return text;
    } catch (const Error&) {
        sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace brindle::store
