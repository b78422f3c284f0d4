#pragma once

#include "data/odbc_column_plan.h"
#include "data/odbc_column_values.h"

#include <sql.h>

namespace brindle::odbc {

// Reads the column's value of the statement's current row whole with
// SQLGetData, however long it is (SQL_NO_TOTAL, long text, LOBs), and
// appends it (or NULL) to values. Throws the driver's diagnostics.
// untrustedLengths: see DriverQuirks::wideLengthsShort.
void ReadWholeValue(SQLHSTMT statement, SQLUSMALLINT column, const ColumnPlan& plan,
                    ColumnValues& values, bool untrustedLengths = false);

} // namespace brindle::odbc
