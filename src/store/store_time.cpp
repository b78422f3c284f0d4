#include "store/store_time.h"

namespace brindle::store {

namespace {

constexpr auto kFormat = "yyyy-MM-ddTHH:mm:ss.zzzZ";

} // namespace

QString StoreTime(const QDateTime& time) {
    return time.toUTC().toString(QLatin1StringView(kFormat));
}

QString StoreTime(std::chrono::system_clock::time_point time) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return StoreTime(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
}

QString StoreTimeNow() {
    return StoreTime(QDateTime::currentDateTimeUtc());
}

QDateTime ParseStoreTime(const QString& text) {
    if (text.isEmpty())
        return {};
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

} // namespace brindle::store
