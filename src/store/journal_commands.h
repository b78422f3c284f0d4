#pragma once

#include <QString>

#include <chrono>
#include <variant>
#include <vector>

namespace brindle::store {

using DocumentKey = quint64;
using WallTime = std::chrono::system_clock::time_point;

// What the window's thread hands the journal's worker, in the order given.
namespace command {
struct Open {
    DocumentKey key;
    QString caption;
    QString text;
};
struct Adopt {
    DocumentKey key;
    qint64 documentId;
    QString caption;
};
struct Edit {
    DocumentKey key;
    qsizetype position;
    qsizetype removed;
    QString inserted;
};
struct Replace {
    DocumentKey key;
    QString text;
};
struct Rename {
    DocumentKey key;
    QString caption;
};
struct Close {
    DocumentKey key;
};
struct DiscardSessions {
    std::vector<qint64> sessions;
};
struct Delete {
    std::vector<qint64> documentIds;
};
struct Flush {};
struct EndSession {};
} // namespace command

struct JournalCommand {
    std::variant<command::Open, command::Adopt, command::Edit, command::Replace, command::Rename,
                 command::Close, command::DiscardSessions, command::Delete, command::Flush,
                 command::EndSession>
        what;
    WallTime when; // the time of the call, for the document's last change
};

} // namespace brindle::store
