#pragma once

#include <QDateTime>
#include <QString>

#include <chrono>

namespace brindle::store {

// Times are kept as ISO 8601 UTC text with milliseconds
// ("2024-05-01T09:30:00.000Z"): readable in the sqlite3 shell, and their text
// order is their time order.
QString StoreTime(const QDateTime& time);
QString StoreTime(std::chrono::system_clock::time_point time);
QString StoreTimeNow();
// An invalid QDateTime for NULL or text that is not such a time.
QDateTime ParseStoreTime(const QString& text);

} // namespace brindle::store
