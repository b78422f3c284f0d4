#include "data/odbc_bound_column.h"

#include "data/odbc_cell.h"
#include "data/odbc_text.h"

#include <sqlext.h>

namespace brindle::odbc {

BoundColumn::BoundColumn(const ColumnPlan& plan, SQLULEN rows, bool untrustedLengths)
    : m_plan(plan), m_untrustedLengths(untrustedLengths),
      m_buffer(rows * static_cast<SQLULEN>(plan.bindBytes)), m_indicators(rows) {}

bool BoundColumn::bind(SQLHSTMT statement, SQLUSMALLINT column) {
    return SQL_SUCCEEDED(SQLBindCol(statement, column, m_plan.cType, m_buffer.data(),
                                    m_plan.bindBytes, m_indicators.data()));
}

bool BoundColumn::truncated(SQLULEN row) const {
    if (!m_plan.mayTruncate)
        return false;
    const SQLLEN indicator = m_indicators[row];
    SQLLEN terminator = 0;
    if (m_plan.cType == SQL_C_WCHAR)
        terminator = SQLLEN(sizeof(SQLWCHAR));
    else if (m_plan.cType == SQL_C_CHAR)
        terminator = 1;
    const SQLLEN room = m_plan.bindBytes - terminator;
    return indicator == SQL_NO_TOTAL || indicator > room;
}

void BoundColumn::appendTo(ColumnValues& values, SQLULEN row) const {
    const SQLLEN indicator = m_indicators[row];
    if (indicator == SQL_NULL_DATA) {
        values.appendNull();
        return;
    }
    switch (m_plan.cType) {
    case SQL_C_WCHAR: {
        const qsizetype room = m_plan.bindBytes / qsizetype(sizeof(SQLWCHAR)) - 1;
        values.appendText(cell(row),
                          WideValueUnits(cell(row), indicator, room, m_untrustedLengths));
        return;
    }
    case SQL_C_CHAR:
        values.appendUtf8(reinterpret_cast<const char*>(cell(row)),
                          static_cast<qsizetype>(indicator));
        return;
    case SQL_C_BINARY:
        values.appendBytes(cell(row), static_cast<qsizetype>(indicator));
        return;
    default:
        AppendFixedCell(values, m_plan.cType, cell(row));
    }
}

} // namespace brindle::odbc
