#pragma once

#include "store/journal_commands.h"
#include "store/text_edit.h"

#include <functional>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace brindle::store {

// The journal's copy of one open document, and what of it the store lacks.
struct ShadowDocument {
    QString caption;
    QString text;
    qint64 row = 0;           // its row in the store; 0 before the first write
    bool adopting = false;    // its AdoptRow operation is not written yet
    bool textUnknown = false; // adopted, but the kept text could not be read
    bool dirty = false;       // something the store does not have yet
    bool closing = false;
    WallTime created;
    WallTime changed;
    WallTime closedAt;

    // The next write writes the whole text; until then `edits` is unused.
    bool snapshotDue = true;
    std::vector<TextEdit> edits; // since the last write, whole characters
    qsizetype editUnits = 0;     // their size, to tell when a snapshot is cheaper
    // The store's edit rows after its snapshot.
    qint64 storedEditRows = 0;
    qint64 storedEditUnits = 0;
    qint64 nextSeq = 1;
};

// A kept row moved to this session for an adopted document.
struct AdoptRow {
    DocumentKey key;
    qint64 row;
};
using StoreOperation = std::variant<command::DiscardSessions, command::Delete, AdoptRow>;

// Every open document of the session as the window last told it, and the
// operations on kept rows not yet written. Worker thread only.
class JournalShadows {
public:
    using TextReader = std::function<std::optional<QString>(qint64 documentId)>;

    // Applies one command; Adopt reads the kept text with `readText`.
    void Apply(const JournalCommand& command, const TextReader& readText);

    // Something to write: a changed document, an operation, the end.
    bool HasWork() const;
    // After the store was lost: every document is written afresh as a new
    // row, and what referred to the old rows is dropped.
    void ForgetStore();

    std::map<DocumentKey, ShadowDocument> docs;
    std::vector<StoreOperation> operations;
    bool endRequested = false;

private:
    void Edit(ShadowDocument& doc, TextEdit edit);
};

} // namespace brindle::store
