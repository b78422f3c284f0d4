#pragma once

#include "data/odbc_column_values.h"

#include <sql.h>

namespace brindle::odbc {

// Bytes enough for any fixed-size C type this layer reads (integers, doubles,
// date, time and timestamp structs), aligned for all of them.
struct alignas(8) FixedCell {
    unsigned char bytes[32];
};

// Appends one non-NULL value of a fixed-size C type (SQL_C_SBIGINT,
// SQL_C_DOUBLE, SQL_C_TYPE_DATE/TIME/TIMESTAMP) read from data. A date or
// time that QDate/QTime cannot hold is refused with an Error rather than
// stored as something else.
void AppendFixedCell(ColumnValues& values, SQLSMALLINT cType, const void* data);

} // namespace brindle::odbc
