#pragma once

#include <QString>

namespace brindle::odbc {

// Where a result column's values come from, as the driver reports it. Every
// part is empty when the driver cannot say (an expression, a driver without
// the descriptor fields).
struct ColumnOrigin {
    QString catalog;
    QString schema;
    QString table;
    QString column;
};

// A result column as described at execute time: its origin and the SQL type,
// size and digits, so a value written back is bound as the column's own type.
struct ColumnSource {
    ColumnOrigin origin;
    short sqlType = 0;
    unsigned long long size = 0;
    short decimalDigits = 0;
};

} // namespace brindle::odbc
