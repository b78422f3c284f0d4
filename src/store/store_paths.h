#pragma once

#include <QString>

namespace brindle::store {

// Where the local store lives: the database and, beside it, one lock file per
// running session.
struct StorePaths {
    QString directory; // normally $XDG_DATA_HOME/Brindle

    QString Database() const;     // directory/brindle.db
    QString SessionLocks() const; // directory/sessions
};

// $XDG_DATA_HOME/Brindle (normally ~/.local/share/Brindle).
StorePaths DefaultStorePaths();

} // namespace brindle::store
