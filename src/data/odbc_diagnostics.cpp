#include "data/odbc_diagnostics.h"

#include "data/odbc_text.h"

#include <sqlext.h>

#include <vector>

namespace brindle::odbc {

namespace {

constexpr SQLSMALLINT kFirstBufferUnits = 1024;

// One record, or a null string when there is no record with that number.
QString Record(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT number) {
    SQLWCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    std::vector<SQLWCHAR> message(kFirstBufferUnits);
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(handleType, handle, number, state, &nativeError, message.data(),
                                  static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
        // The message did not fit; a record can be read again at full size.
        message.resize(static_cast<std::size_t>(length) + 1);
        rc = SQLGetDiagRecW(handleType, handle, number, state, &nativeError, message.data(),
                            static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(rc))
        return {};
    const qsizetype units = qMin<qsizetype>(length, static_cast<qsizetype>(message.size()) - 1);
    QString text = u'[' + FromSqlWide(state, 5) + u"] " + FromSqlWide(message.data(), units);
    // Drivers often end their messages with a line break of their own.
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

} // namespace

QString DiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle) {
    return DiagnosticRecords(handleType, handle).join(u'\n');
}

QStringList DiagnosticRecords(SQLSMALLINT handleType, SQLHANDLE handle) {
    if (handle == SQL_NULL_HANDLE)
        return {};
    QStringList records;
    // A driver that keeps returning records is cut off rather than looped on.
    for (SQLSMALLINT number = 1; number <= 64; ++number) {
        QString record = Record(handleType, handle, number);
        if (record.isNull())
            break;
        records.append(record);
    }
    return records;
}

} // namespace brindle::odbc
