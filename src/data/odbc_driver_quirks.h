#pragma once

#include <QString>

namespace brindle::odbc {

// What a driver does wrong that the program works around, known by the
// driver's file name (SQL_DRIVER_NAME) since the driver itself claims
// otherwise.
struct DriverQuirks {
    // SQLGetData after SQLSetPos reads the first row of the block, whatever
    // the position (MariaDB's driver returns SQL_NO_DATA or that row's value).
    bool getDataIgnoresPosition = false;
    // Statements of fewer characters than this are refused by the driver
    // itself, which then keeps the connection locked, so that the next call
    // from another thread waits for ever (MariaDB's driver, 5); 0: none.
    int shortestStatement = 0;
    // The lengths it gives of text with characters beyond the BMP can fall
    // short of what it wrote (by a unit after some characters); the text ends
    // at its terminator.
    bool wideLengthsShort = false;
};

DriverQuirks QuirksOfDriver(const QString& driverFileName);

// Whether the driver would refuse the text without asking the server.
bool TooShortForDriver(const DriverQuirks& quirks, const QString& text);

} // namespace brindle::odbc
