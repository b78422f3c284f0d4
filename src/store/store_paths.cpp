#include "store/store_paths.h"

#include <QStandardPaths>

namespace brindle::store {

QString StorePaths::Database() const {
    return directory + u"/brindle.db";
}

QString StorePaths::SessionLocks() const {
    return directory + u"/sessions";
}

StorePaths DefaultStorePaths() {
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Brindle"};
}

} // namespace brindle::store
