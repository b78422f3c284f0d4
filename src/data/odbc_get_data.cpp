#include "data/odbc_get_data.h"

#include "data/odbc_cell.h"
#include "data/odbc_check.h"
#include "data/odbc_text.h"

#include <sqlext.h>

#include <vector>

namespace brindle::odbc {

namespace {

constexpr SQLLEN kFirstChunkBytes = 8 * 1024;
constexpr SQLLEN kMaxChunkBytes = 1024 * 1024;

SQLRETURN GetData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, void* buffer,
                  SQLLEN bytes, SQLLEN* indicator) {
    return Check(SQLGetData(statement, column, cType, buffer, bytes, indicator), SQL_HANDLE_STMT,
                 statement, "SQLGetData");
}

// Text and bytes arrive in pieces: each call returns what fits and says how
// much is left (or SQL_NO_TOTAL) until the last piece.
void ReadPieces(SQLHSTMT statement, SQLUSMALLINT column, const ColumnPlan& plan,
                ColumnValues& values) {
    const bool wide = plan.cType == SQL_C_WCHAR;
    const bool narrow = plan.cType == SQL_C_CHAR;
    const SQLLEN terminator = wide ? SQLLEN(sizeof(SQLWCHAR)) : narrow ? 1 : 0;
    std::vector<unsigned char> chunk(static_cast<std::size_t>(kFirstChunkBytes));
    std::vector<unsigned char> whole;
    for (;;) {
        SQLLEN indicator = 0;
        const auto size = static_cast<SQLLEN>(chunk.size());
        const SQLRETURN rc = GetData(statement, column, plan.cType, chunk.data(), size, &indicator);
        if (rc == SQL_NO_DATA)
            break; // every piece has been read
        if (indicator == SQL_NULL_DATA) {
            values.appendNull();
            return;
        }
        const SQLLEN room = size - terminator;
        const bool more = indicator == SQL_NO_TOTAL || indicator > room;
        SQLLEN got = more ? room : indicator;
        if (wide)
            got -= got % SQLLEN(sizeof(SQLWCHAR));
        whole.insert(whole.end(), chunk.begin(), chunk.begin() + got);
        if (rc == SQL_SUCCESS || !more)
            break;
        if (got == 0) // a driver that hands out nothing would loop here forever
            throw Error(kOdbcFailure, QStringLiteral("SQLGetData returned no data"));
        // Fewer calls for long values: take what is left at once when the
        // driver says, otherwise grow the buffer.
        SQLLEN next = indicator == SQL_NO_TOTAL ? size * 2 : indicator - got + terminator;
        next = qBound(kFirstChunkBytes, next, kMaxChunkBytes);
        if (next > size)
            chunk.resize(static_cast<std::size_t>(next));
    }
    // A UTF-8 sequence cut between pieces is whole again here.
    if (wide) {
        values.appendText(whole.data(), static_cast<qsizetype>(whole.size() / sizeof(SQLWCHAR)));
    } else if (narrow) {
        values.appendUtf8(reinterpret_cast<const char*>(whole.data()),
                          static_cast<qsizetype>(whole.size()));
    } else {
        values.appendBytes(whole.data(), static_cast<qsizetype>(whole.size()));
    }
}

// Text from a driver whose lengths fall short (DriverQuirks::wideLengthsShort,
// MariaDB's): what it says is left can be short of what is, and a buffer of
// less than twice that is filled only up to it, without a word. A buffer well
// under what it says is filled whole and more is said to follow. So each call
// gets one or the other, the first only room for the terminator, and every
// piece ends at its terminator.
void ReadWideByTerminator(SQLHSTMT statement, SQLUSMALLINT column, ColumnValues& values) {
    constexpr auto unit = SQLLEN(sizeof(SQLWCHAR));
    std::vector<unsigned char> chunk(static_cast<std::size_t>(unit));
    std::vector<unsigned char> whole;
    for (;;) {
        SQLLEN indicator = 0;
        const auto size = static_cast<SQLLEN>(chunk.size());
        const SQLRETURN rc =
            GetData(statement, column, SQL_C_WCHAR, chunk.data(), size, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        if (indicator == SQL_NULL_DATA) {
            values.appendNull();
            return;
        }
        const SQLLEN room = size - unit;
        const bool more = rc == SQL_SUCCESS_WITH_INFO;
        const qsizetype units =
            WideValueUnits(chunk.data(), more ? room : indicator, room / unit, true);
        const SQLLEN got = static_cast<SQLLEN>(units) * unit;
        whole.insert(whole.end(), chunk.begin(), chunk.begin() + got);
        if (!more)
            break;
        if (got == 0 && room > 0)
            throw Error(kOdbcFailure, QStringLiteral("SQLGetData returned no data"));
        // Half of what is left is well under any later count of it.
        const SQLLEN left = indicator == SQL_NO_TOTAL ? -1 : indicator - got;
        SQLLEN next = kFirstChunkBytes;
        if (left > 0 && 2 * left + unit <= kMaxChunkBytes)
            next = 2 * left + unit;
        else if (left > 0)
            next = qMin(left / 2, kMaxChunkBytes);
        next = qMax(next - next % unit, 2 * unit);
        chunk.assign(static_cast<std::size_t>(next), 0);
    }
    values.appendText(whole.data(), static_cast<qsizetype>(whole.size()) / unit);
}

} // namespace

void ReadWholeValue(SQLHSTMT statement, SQLUSMALLINT column, const ColumnPlan& plan,
                    ColumnValues& values, bool untrustedLengths) {
    if (plan.cType == SQL_C_WCHAR && untrustedLengths) {
        ReadWideByTerminator(statement, column, values);
        return;
    }
    if (plan.cType == SQL_C_WCHAR || plan.cType == SQL_C_CHAR || plan.cType == SQL_C_BINARY) {
        ReadPieces(statement, column, plan, values);
        return;
    }
    FixedCell cell{};
    SQLLEN indicator = 0;
    const SQLRETURN rc =
        GetData(statement, column, plan.cType, cell.bytes, sizeof cell.bytes, &indicator);
    if (rc == SQL_NO_DATA || indicator == SQL_NULL_DATA)
        values.appendNull();
    else
        AppendFixedCell(values, plan.cType, cell.bytes);
}

} // namespace brindle::odbc
