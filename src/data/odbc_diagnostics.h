#pragma once

#include <QString>

#include <sql.h>

namespace brindle::odbc {

// The handle's diagnostic records as "[SQLSTATE] message", one record a line,
// in the order the driver gives them. Empty when there are none.
QString DiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle);

} // namespace brindle::odbc
