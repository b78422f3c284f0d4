#include "data/odbc_column_plan.h"

#include <gtest/gtest.h>

#include <sqlext.h>

namespace brindle::odbc {
namespace {

struct PlanCase {
    const char* name;
    SQLSMALLINT sqlType;
    SQLULEN size;
    bool isUnsigned;
    ColumnKind kind;
    SQLSMALLINT cType;
    bool bound;
    bool mayTruncate;
};

// Which columns go into block buffers, and which are read whole because
// their length is unknown or too large to reserve for every row.
TEST(ColumnPlan, ChoosesKindAndReadingPerSqlType) {
    const PlanCase cases[] = {
        {"integer", SQL_INTEGER, 10, false, ColumnKind::Integer, SQL_C_SBIGINT, true, false},
        {"bit", SQL_BIT, 1, false, ColumnKind::Integer, SQL_C_SBIGINT, true, false},
        {"signed bigint", SQL_BIGINT, 19, false, ColumnKind::Integer, SQL_C_SBIGINT, true, false},
        {"unsigned bigint keeps every digit", SQL_BIGINT, 20, true, ColumnKind::Decimal,
         SQL_C_WCHAR, true, true},
        {"real", SQL_REAL, 7, false, ColumnKind::Double, SQL_C_DOUBLE, true, false},
        {"float", SQL_FLOAT, 15, false, ColumnKind::Double, SQL_C_DOUBLE, true, false},
        {"decimal as exact text", SQL_DECIMAL, 20, false, ColumnKind::Decimal, SQL_C_WCHAR, true,
         true},
        {"numeric of unknown size", SQL_NUMERIC, 0, false, ColumnKind::Decimal, SQL_C_WCHAR, false,
         false},
        {"date", SQL_TYPE_DATE, 10, false, ColumnKind::Date, SQL_C_TYPE_DATE, true, false},
        {"time", SQL_TYPE_TIME, 8, false, ColumnKind::Time, SQL_C_TYPE_TIME, true, false},
        {"timestamp", SQL_TYPE_TIMESTAMP, 26, false, ColumnKind::DateTime, SQL_C_TYPE_TIMESTAMP,
         true, false},
        {"short varchar", SQL_VARCHAR, 10, false, ColumnKind::Text, SQL_C_WCHAR, true, true},
        {"short nvarchar", SQL_WVARCHAR, 255, false, ColumnKind::Text, SQL_C_WCHAR, true, true},
        {"largest bound text", SQL_WVARCHAR, kMaxBoundTextChars, false, ColumnKind::Text,
         SQL_C_WCHAR, true, true},
        {"varchar(max)", SQL_WVARCHAR, 0, false, ColumnKind::Text, SQL_C_WCHAR, false, false},
        {"too long to bind", SQL_VARCHAR, kMaxBoundTextChars + 1, false, ColumnKind::Text,
         SQL_C_WCHAR, false, false},
        {"text", SQL_WLONGVARCHAR, 8190, false, ColumnKind::Text, SQL_C_WCHAR, false, false},
        {"varbinary", SQL_VARBINARY, 16, false, ColumnKind::Binary, SQL_C_BINARY, true, true},
        {"bytea", SQL_LONGVARBINARY, 0, false, ColumnKind::Binary, SQL_C_BINARY, false, false},
        {"interval as text", SQL_INTERVAL_DAY, 10, false, ColumnKind::Text, SQL_C_WCHAR, false,
         false},
        {"driver-specific type", -152, 0, false, ColumnKind::Text, SQL_C_WCHAR, false, false},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        ColumnDescription d;
        d.sqlType = c.sqlType;
        d.size = c.size;
        d.isUnsigned = c.isUnsigned;
        const ColumnPlan plan = PlanColumn(d);
        EXPECT_EQ(plan.kind, c.kind);
        EXPECT_EQ(plan.cType, c.cType);
        EXPECT_EQ(plan.bindBytes > 0, c.bound);
        EXPECT_EQ(plan.mayTruncate, c.mayTruncate);
    }
}

// Declared sizes count characters: a text of them all beyond the BMP, and
// the terminating NUL, fit the buffer without truncation.
TEST(ColumnPlan, BoundTextHasRoomForTwoUnitsACharacter) {
    for (const SQLSMALLINT type : {SQL_VARCHAR, SQL_WVARCHAR, SQL_WCHAR}) {
        ColumnDescription d;
        d.sqlType = type;
        d.size = 10;
        EXPECT_EQ(PlanColumn(d).bindBytes, SQLLEN((2 * 10 + 1) * sizeof(SQLWCHAR))) << type;
    }
}

// For a driver whose own text is narrow, text and decimals are asked for as
// UTF-8 with room for four bytes a character and the NUL; everything else is
// planned as for wide text.
TEST(ColumnPlan, NarrowTextBindsUtf8WithRoomForEveryCharacter) {
    ColumnDescription d;
    d.sqlType = SQL_VARCHAR;
    d.size = 40;
    ColumnPlan plan = PlanColumn(d, TextWidth::Narrow);
    EXPECT_EQ(plan.cType, SQL_C_CHAR);
    EXPECT_EQ(plan.bindBytes, 40 * 4 + 1);
    EXPECT_TRUE(plan.mayTruncate);

    d.sqlType = SQL_DECIMAL;
    d.size = 20;
    plan = PlanColumn(d, TextWidth::Narrow);
    EXPECT_EQ(plan.kind, ColumnKind::Decimal);
    EXPECT_EQ(plan.cType, SQL_C_CHAR);

    d.sqlType = SQL_LONGVARCHAR;
    d.size = 0;
    plan = PlanColumn(d, TextWidth::Narrow);
    EXPECT_EQ(plan.cType, SQL_C_CHAR);
    EXPECT_EQ(plan.bindBytes, 0);

    d.sqlType = SQL_INTEGER;
    EXPECT_EQ(PlanColumn(d, TextWidth::Narrow).cType, SQL_C_SBIGINT);
    d.sqlType = SQL_VARBINARY;
    d.size = 16;
    EXPECT_EQ(PlanColumn(d, TextWidth::Narrow).cType, SQL_C_BINARY);
}

} // namespace
} // namespace brindle::odbc
