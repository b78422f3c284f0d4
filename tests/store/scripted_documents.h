#pragma once

#include "store/query_journal.h"

#include <QString>

#include <map>

namespace brindle::test {

// What a scripted session leaves in the store, by caption.
struct ScriptedDocument {
    QString text;
    bool open = true;
};
using ScriptedDocuments = std::map<QString, ScriptedDocument>;

// A session's worth of work through `journal`: documents typed character by
// character, edited, replaced, renamed, one closed, one blank one closed, one
// over the size that is journaled as edits. Ends with a Flush and returns
// what the store must now hold (blank documents are not kept).
ScriptedDocuments WriteScriptedDocuments(store::QueryJournal& journal);

// A text of `lines` lines of queries, some Japanese, deterministic.
QString QueryLines(int lines);

} // namespace brindle::test
