#pragma once

#include <sql.h>

namespace brindle::odbc {

// Whether the connected driver has wide-character (W) entry points of its
// own. unixODBC exports W functions for every driver and, for a driver
// without them, converts each wide value to and from the narrow character
// set; it takes the driver's own W path exactly when the driver library
// exports SQLDriverConnectW. When the library cannot be found among the
// loaded objects the answer is true: wide text is correct either way, only
// slower through the conversion.
bool DriverHasWideFunctions(SQLHDBC dbc);

} // namespace brindle::odbc
