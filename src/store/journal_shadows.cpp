#include "store/journal_shadows.h"

#include <type_traits>

namespace brindle::store {

namespace {

// Pending edits beyond this share of the text are dropped for a snapshot:
// also bounds the memory a long stream of edits takes.
constexpr qsizetype kEditShare = 8;
constexpr qsizetype kEditOverhead = 16; // per edit, in units

void Changed(ShadowDocument& doc, WallTime when) {
    doc.dirty = true;
    doc.changed = when;
}

void SnapshotDue(ShadowDocument& doc) {
    doc.snapshotDue = true;
    doc.edits.clear();
    doc.editUnits = 0;
}

} // namespace

void JournalShadows::Edit(ShadowDocument& doc, TextEdit edit) {
    const TextEdit applied = ApplyEdit(doc.text, std::move(edit));
    if (doc.snapshotDue)
        return;
    TextEdit whole = WholeCharacters(doc.text, applied);
    doc.editUnits += whole.inserted.size() + kEditOverhead;
    if (doc.editUnits > doc.text.size() / kEditShare + 4096)
        return SnapshotDue(doc);
    // Typing: a character right after the last one goes into the same edit.
    if (!doc.edits.empty()) {
        TextEdit& last = doc.edits.back();
        if (whole.removed == 0 && whole.position == last.position + last.inserted.size()) {
            last.inserted += whole.inserted;
            return;
        }
    }
    doc.edits.push_back(std::move(whole));
}

void JournalShadows::Apply(const JournalCommand& command, const TextReader& readText) {
    const auto find = [this](DocumentKey key) -> ShadowDocument* {
        const auto it = docs.find(key);
        return it == docs.end() || it->second.closing ? nullptr : &it->second;
    };
    std::visit(
        [&](const auto& c) {
            using C = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<C, command::Open>) {
                ShadowDocument& doc = docs[c.key];
                doc.caption = c.caption;
                doc.text = c.text;
                doc.created = command.when;
                Changed(doc, command.when);
            } else if constexpr (std::is_same_v<C, command::Adopt>) {
                std::optional<QString> text;
                try {
                    text = readText(c.documentId);
                } catch (...) {
                }
                ShadowDocument& doc = docs[c.key];
                doc.caption = c.caption;
                doc.created = command.when;
                doc.text = text.value_or(QString());
                // A text that could not be read is not moved: nothing true
                // could be written over it.
                doc.textUnknown = !text.has_value();
                doc.adopting = text.has_value();
                if (doc.adopting)
                    operations.emplace_back(AdoptRow{c.key, c.documentId});
                Changed(doc, command.when);
            } else if constexpr (std::is_same_v<C, command::Edit>) {
                if (ShadowDocument* doc = find(c.key); doc && !doc->textUnknown) {
                    Edit(*doc, {c.position, c.removed, c.inserted});
                    Changed(*doc, command.when);
                }
            } else if constexpr (std::is_same_v<C, command::Replace>) {
                if (ShadowDocument* doc = find(c.key)) {
                    doc->text = c.text;
                    doc->textUnknown = false;
                    SnapshotDue(*doc);
                    Changed(*doc, command.when);
                }
            } else if constexpr (std::is_same_v<C, command::Rename>) {
                if (ShadowDocument* doc = find(c.key)) {
                    doc->caption = c.caption;
                    doc->dirty = true;
                }
            } else if constexpr (std::is_same_v<C, command::Close>) {
                if (ShadowDocument* doc = find(c.key)) {
                    doc->closing = true;
                    doc->closedAt = command.when;
                    doc->dirty = true;
                }
            } else if constexpr (std::is_same_v<C, command::DiscardSessions> ||
                                 std::is_same_v<C, command::Delete>) {
                operations.emplace_back(c);
            } else if constexpr (std::is_same_v<C, command::EndSession>) {
                for (auto& [key, doc] : docs) {
                    if (!doc.closing) {
                        doc.closing = true;
                        doc.closedAt = command.when;
                        doc.dirty = true;
                    }
                }
                endRequested = true;
            }
        },
        command.what);
}

bool JournalShadows::HasWork() const {
    if (!operations.empty() || endRequested)
        return true;
    for (const auto& [key, doc] : docs) {
        if (doc.dirty)
            return true;
    }
    return false;
}

void JournalShadows::ForgetStore() {
    for (auto& [key, doc] : docs) {
        doc.row = 0;
        doc.adopting = false;
        doc.storedEditRows = 0;
        doc.storedEditUnits = 0;
        doc.nextSeq = 1;
        doc.dirty = true;
        SnapshotDue(doc);
    }
    operations.clear();
}

} // namespace brindle::store
