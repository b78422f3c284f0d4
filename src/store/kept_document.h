#pragma once

#include <QDateTime>
#include <QString>

namespace brindle::store {

// A query document kept in the store, as lists show it.
struct KeptDocument {
    qint64 id = 0;
    qint64 session = 0;
    bool open = false;    // open in its session, or closed by the user
    QString caption;      // "無題3" or the file's full path
    QString firstLine;    // the first line that is not blank, trimmed
    QDateTime changed;    // the last change of its text
    QDateTime closed;     // when it was closed (invalid while open)
    qint64 length = 0;    // characters of its text
};

} // namespace brindle::store
