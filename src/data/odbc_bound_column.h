#pragma once

#include "data/odbc_column_plan.h"
#include "data/odbc_column_values.h"

#include <sql.h>

#include <vector>

namespace brindle::odbc {

// The column-wise buffer of one bound column for a block of rows: the values
// side by side and one length/indicator per row.
class BoundColumn {
public:
    // untrustedLengths: text ends at its terminator when that is further
    // than the length the driver gave (DriverQuirks::wideLengthsShort).
    BoundColumn(const ColumnPlan& plan, SQLULEN rows, bool untrustedLengths = false);

    // Binds the buffer to the statement's column; false when the driver
    // refuses (the column is then read with SQLGetData instead).
    bool bind(SQLHSTMT statement, SQLUSMALLINT column);

    bool isNull(SQLULEN row) const { return m_indicators[row] == SQL_NULL_DATA; }
    // True when the row's value did not fit and must be read again whole.
    bool truncated(SQLULEN row) const;
    // Appends the row's (non-truncated) value or NULL.
    void appendTo(ColumnValues& values, SQLULEN row) const;

private:
    const unsigned char* cell(SQLULEN row) const {
        return m_buffer.data() + row * static_cast<SQLULEN>(m_plan.bindBytes);
    }

    ColumnPlan m_plan;
    bool m_untrustedLengths;
    std::vector<unsigned char> m_buffer;
    std::vector<SQLLEN> m_indicators;
};

} // namespace brindle::odbc
