#pragma once

#include <QString>

#include <sql.h>

namespace brindle::odbc {

// A text the connection's driver gives through SQLGetInfoW, however long
// (keyword lists outgrow any first buffer). Empty when the driver cannot say;
// rc, when given, receives the driver's answer for callers that must fail.
QString InfoText(SQLHDBC dbc, SQLUSMALLINT item, SQLRETURN* rc = nullptr);

} // namespace brindle::odbc
