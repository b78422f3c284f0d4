#include "data/odbc_check.h"

#include "data/odbc_diagnostics.h"

namespace brindle::odbc {

Error OdbcError(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call) {
    QString text;
    if (rc != SQL_INVALID_HANDLE)
        text = DiagnosticText(handleType, handle);
    if (text.isEmpty()) {
        text = QLatin1String(call) + u" failed (ODBC return code " + QString::number(rc) + u')';
    }
    return {kOdbcFailure, text};
}

SQLRETURN Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* call) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return rc;
    throw OdbcError(rc, handleType, handle, call);
}

} // namespace brindle::odbc
