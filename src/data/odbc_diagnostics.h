#pragma once

#include <QString>
#include <QStringList>

#include <sql.h>

namespace brindle::odbc {

// The handle's diagnostic records as "[SQLSTATE] message", one record a line,
// in the order the driver gives them. Empty when there are none.
QString DiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle);
// The same records one by one.
QStringList DiagnosticRecords(SQLSMALLINT handleType, SQLHANDLE handle);

} // namespace brindle::odbc
