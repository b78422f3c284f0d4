#include "data/odbc_column_origin.h"

#include "data/odbc_text.h"

#include <sqlext.h>

#include <vector>

namespace brindle::odbc {

namespace {

QString TextAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field) {
    std::vector<SQLWCHAR> buffer(256);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SQLSMALLINT bytes = 0;
        const SQLRETURN rc = SQLColAttributeW(
            statement, column, field, buffer.data(),
            static_cast<SQLSMALLINT>(buffer.size() * sizeof(SQLWCHAR)), &bytes, nullptr);
        if (!SQL_SUCCEEDED(rc) || bytes < 0)
            return QString();
        const auto units = static_cast<std::size_t>(bytes) / sizeof(SQLWCHAR);
        if (units < buffer.size())
            return FromSqlWide(buffer.data(), static_cast<qsizetype>(units));
        buffer.resize(units + 1);
    }
    return QString();
}

} // namespace

ColumnOrigin DescribeOrigin(SQLHSTMT statement, SQLUSMALLINT column) {
    ColumnOrigin origin;
    origin.table = TextAttribute(statement, column, SQL_DESC_BASE_TABLE_NAME);
    if (origin.table.isEmpty())
        origin.table = TextAttribute(statement, column, SQL_DESC_TABLE_NAME);
    origin.column = TextAttribute(statement, column, SQL_DESC_BASE_COLUMN_NAME);
    origin.schema = TextAttribute(statement, column, SQL_DESC_SCHEMA_NAME);
    origin.catalog = TextAttribute(statement, column, SQL_DESC_CATALOG_NAME);
    return origin;
}

} // namespace brindle::odbc
