#include "data/odbc_column_plan.h"

#include <sqlext.h>

namespace brindle::odbc {

namespace {

ColumnPlan Fixed(ColumnKind kind, SQLSMALLINT cType, std::size_t bytes) {
    return {kind, cType, static_cast<SQLLEN>(bytes), false};
}

// Text in UTF-16 or UTF-8, bound when the declared length is known and short
// enough. The length counts characters: one beyond the BMP takes two UTF-16
// units, and any takes up to four UTF-8 bytes; the buffer has room for that at
// every character, and for the driver's terminating NUL. (MariaDB's driver
// cuts a value short of its buffer without saying so and reports a length in
// characters.)
ColumnPlan Text(ColumnKind kind, SQLULEN chars, TextWidth width) {
    const SQLSMALLINT cType = width == TextWidth::Wide ? SQL_C_WCHAR : SQL_C_CHAR;
    if (chars == 0 || chars > kMaxBoundTextChars)
        return {kind, cType, 0, false};
    const SQLULEN bytes =
        width == TextWidth::Wide ? (2 * chars + 1) * sizeof(SQLWCHAR) : chars * 4 + 1;
    return {kind, cType, static_cast<SQLLEN>(bytes), true};
}

ColumnPlan Binary(SQLULEN bytes) {
    if (bytes == 0 || bytes > kMaxBoundBinaryBytes)
        return {ColumnKind::Binary, SQL_C_BINARY, 0, false};
    return {ColumnKind::Binary, SQL_C_BINARY, static_cast<SQLLEN>(bytes), true};
}

} // namespace

ColumnPlan PlanColumn(const ColumnDescription& column, TextWidth width) {
    switch (column.sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
        return Fixed(ColumnKind::Integer, SQL_C_SBIGINT, sizeof(SQLBIGINT));
    case SQL_BIGINT:
        // An unsigned 64-bit value may not fit a qint64; its digits always do.
        if (column.isUnsigned)
            return Text(ColumnKind::Decimal, 20, width);
        return Fixed(ColumnKind::Integer, SQL_C_SBIGINT, sizeof(SQLBIGINT));
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return Fixed(ColumnKind::Double, SQL_C_DOUBLE, sizeof(SQLDOUBLE));
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        // As text, so no digit is lost to a binary floating type; room for the
        // sign, the decimal point and a leading zero.
        return Text(ColumnKind::Decimal, column.size == 0 ? 0 : column.size + 3, width);
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return Fixed(ColumnKind::Date, SQL_C_TYPE_DATE, sizeof(SQL_DATE_STRUCT));
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return Fixed(ColumnKind::Time, SQL_C_TYPE_TIME, sizeof(SQL_TIME_STRUCT));
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return Fixed(ColumnKind::DateTime, SQL_C_TYPE_TIMESTAMP, sizeof(SQL_TIMESTAMP_STRUCT));
    case SQL_BINARY:
    case SQL_VARBINARY:
        return Binary(column.size);
    case SQL_LONGVARBINARY:
        return Binary(0);
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_GUID:
        return Text(ColumnKind::Text, column.size, width);
    default:
        // Long text, intervals and driver-specific types: their text, read whole.
        return Text(ColumnKind::Text, 0, width);
    }
}

} // namespace brindle::odbc
