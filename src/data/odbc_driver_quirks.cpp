#include "data/odbc_driver_quirks.h"

namespace brindle::odbc {

DriverQuirks QuirksOfDriver(const QString& driverFileName) {
    DriverQuirks quirks;
    // libmaodbc.so here, maodbc.dll elsewhere.
    const QString name = driverFileName.section(u'/', -1).toLower();
    if (name.startsWith(u"libmaodbc") || name.startsWith(u"maodbc")) {
        quirks.getDataIgnoresPosition = true;
        quirks.shortestStatement = 5;
        quirks.wideLengthsShort = true;
    }
    return quirks;
}

bool TooShortForDriver(const DriverQuirks& quirks, const QString& text) {
    if (quirks.shortestStatement <= 0)
        return false;
    // The driver counts bytes of its character set, at least one a character:
    // this many characters are always enough.
    qsizetype characters = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate() && ++characters >= quirks.shortestStatement)
            return false;
    }
    return true;
}

} // namespace brindle::odbc
