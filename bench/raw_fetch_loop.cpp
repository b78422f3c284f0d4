// The yardstick for fetching as a whole process: a plain ODBC loop with a
// forward-only cursor, blocks of rows, every column bound (integers and
// doubles natively, dates as structures, everything else as text) and the
// values appended to column arrays. Prints the row count, like
// `brindle-cli exec --format count`.
//
//   brindle_raw_fetch_loop [--wide] [--static] [--block N] CONNECTION-STRING < query
//
// Text is bound as SQL_C_CHAR unless --wide asks for SQL_C_WCHAR; --static
// asks for a static cursor instead.

#include "raw_odbc.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using raw::Check;

// One bound column and the arrays its values go to.
struct Column {
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLLEN width = 0; // bytes per row in the block buffer
    std::vector<unsigned char> buffer;
    std::vector<SQLLEN> indicators;
    std::vector<unsigned char> values; // fixed-size values, or text bytes
    std::vector<std::size_t> ends;     // text: end of each row in values
    std::vector<bool> nulls;
};

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    bool wide = false;
    bool scrollable = false;
    SQLULEN block = 1000;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "--wide") == 0)
            wide = true;
        else if (std::strcmp(argv[i], "--static") == 0)
            scrollable = true;
        else if (std::strcmp(argv[i], "--block") == 0 && i + 1 < argc)
            block = std::strtoul(argv[++i], nullptr, 10);
    }
    if (i + 1 != argc || block == 0) {
        std::fprintf(stderr, "usage: %s [--wide] [--static] [--block N] CONNECTION < query\n",
                     argv[0]);
        return 2;
    }
    const std::string query(std::istreambuf_iterator<char>(std::cin), {});

    raw::Connection connection(argv[i]);
    const SQLHSTMT stmt = connection.stmt;
    if (scrollable)
        SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC),
                       0);
    Check(
        SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(query.c_str())), SQL_NTS),
        SQL_HANDLE_STMT, stmt, "execute");

    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    std::vector<Column> columns(static_cast<std::size_t>(count));
    for (SQLUSMALLINT c = 0; c < static_cast<SQLUSMALLINT>(count); ++c) {
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        Check(SQLDescribeCol(stmt, c + 1, nullptr, 0, nullptr, &type, &size, &digits, &nullable),
              SQL_HANDLE_STMT, stmt, "describe");
        Column& col = columns[c];
        switch (type) {
        case SQL_INTEGER:
        case SQL_SMALLINT:
        case SQL_BIGINT:
            col.cType = SQL_C_SBIGINT;
            col.width = sizeof(SQLBIGINT);
            break;
        case SQL_DOUBLE:
        case SQL_FLOAT:
        case SQL_REAL:
            col.cType = SQL_C_DOUBLE;
            col.width = sizeof(double);
            break;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            col.cType = SQL_C_TYPE_DATE;
            col.width = sizeof(SQL_DATE_STRUCT);
            break;
        default: {
            const SQLULEN chars = size == 0 || size > 2000 ? 255 : size;
            col.cType = wide ? SQL_C_WCHAR : SQL_C_CHAR;
            col.width = static_cast<SQLLEN>(wide ? (chars + 1) * 2 : chars * 4 + 1);
        }
        }
        col.buffer.resize(block * static_cast<SQLULEN>(col.width));
        col.indicators.resize(block);
    }
    SQLULEN fetched = 0;
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(block), 0),
          SQL_HANDLE_STMT, stmt, "block");
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), SQL_HANDLE_STMT, stmt,
          "fetched");
    for (SQLUSMALLINT c = 0; c < static_cast<SQLUSMALLINT>(count); ++c) {
        Column& col = columns[c];
        Check(
            SQLBindCol(stmt, c + 1, col.cType, col.buffer.data(), col.width, col.indicators.data()),
            SQL_HANDLE_STMT, stmt, "bind");
    }
    std::size_t rows = 0;
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, SQL_HANDLE_STMT, stmt, "fetch");
        for (Column& col : columns) {
            const bool text = col.cType == SQL_C_CHAR || col.cType == SQL_C_WCHAR;
            for (SQLULEN r = 0; r < fetched; ++r) {
                const SQLLEN indicator = col.indicators[r];
                const unsigned char* cell = col.buffer.data() + r * static_cast<SQLULEN>(col.width);
                col.nulls.push_back(indicator == SQL_NULL_DATA);
                if (!text) {
                    col.values.insert(col.values.end(), cell, cell + col.width);
                    continue;
                }
                if (indicator > 0)
                    col.values.insert(col.values.end(), cell,
                                      cell + std::min(indicator, col.width - 1));
                col.ends.push_back(col.values.size());
            }
        }
        rows += fetched;
    }
    std::printf("%zu\n", rows);
    return 0;
}
