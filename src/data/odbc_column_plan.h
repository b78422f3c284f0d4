#pragma once

#include "data/odbc_column_values.h"

#include <QString>

#include <sql.h>

namespace brindle::odbc {

// A result column as SQLDescribeCol reports it.
struct ColumnDescription {
    QString name;
    SQLSMALLINT sqlType = SQL_UNKNOWN_TYPE;
    SQLULEN size = 0; // characters, digits or bytes; 0 when the driver cannot say
    SQLSMALLINT decimalDigits = 0;
    bool isUnsigned = false;
};

// How one column is read: the stored kind, the C type asked of the driver, and
// the bytes per row of a bound buffer (0: read whole with SQLGetData).
struct ColumnPlan {
    ColumnKind kind = ColumnKind::Text;
    SQLSMALLINT cType = 0;
    SQLLEN bindBytes = 0;
    // A bound value may be longer than its buffer (declared sizes are only a
    // hint for some drivers), so it must be checked and re-read whole.
    bool mayTruncate = false;
};

// Longest declared text (characters) and binary (bytes) size still bound into
// a block buffer; longer or unknown sizes are read value by value.
inline constexpr SQLULEN kMaxBoundTextChars = 2000;
inline constexpr SQLULEN kMaxBoundBinaryBytes = 4000;

// The character width text is asked for in: UTF-16 (SQL_C_WCHAR) or UTF-8
// (SQL_C_CHAR, for drivers whose own text is narrow).
enum class TextWidth { Wide, Narrow };

ColumnPlan PlanColumn(const ColumnDescription& column, TextWidth width = TextWidth::Wide);

} // namespace brindle::odbc
