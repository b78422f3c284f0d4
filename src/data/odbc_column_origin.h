#pragma once

#include "data/column_source.h"

#include <sql.h>

namespace brindle::odbc {

// The base table and column of a result column (1-based), with the table name
// as the fallback for drivers that fill only that. Never throws: an origin
// the driver cannot give stays empty, and the result is then read-only.
ColumnOrigin DescribeOrigin(SQLHSTMT statement, SQLUSMALLINT column);

} // namespace brindle::odbc
