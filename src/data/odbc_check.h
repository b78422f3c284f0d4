#pragma once

#include "core/error.h"

#include <sql.h>

namespace brindle::odbc {

// The number every failure reported by the driver manager or a driver
// carries; callers show its description and never test the number.
inline constexpr int kOdbcFailure = -2147467259;

// The Error for a failed call: the handle's diagnostic records, or the call's
// name and return code when the handle has none to give.
Error OdbcError(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call);

// The one check every ODBC call goes through. Returns rc when the call
// succeeded (with or without information) or found no data; throws the
// handle's diagnostics as an Error for anything else.
SQLRETURN Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call);

} // namespace brindle::odbc
