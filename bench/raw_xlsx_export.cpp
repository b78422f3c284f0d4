// The yardstick for `brindle-cli export` as a whole process: the fastest way
// from a query to a workbook with the same libraries. A forward-only cursor,
// blocks of rows, every column bound as the driver's own UTF-8 text, and each
// row handed to libxlsxwriter in constant-memory mode as it arrives (header
// row, one text format per column, NULL cells left empty). Nothing is kept.
// Prints the number of rows written.
//
//   brindle_raw_xlsx_export CONNECTION-STRING OUT.xlsx < query

#include "raw_odbc.h"

#include <sql.h>
#include <sqlext.h>
#include <xlsxwriter.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using raw::Check;

constexpr SQLULEN kBlock = 1000;
constexpr SQLULEN kTextBytes = 255 * 4 + 1;

struct Column {
    std::vector<char> buffer;
    std::vector<SQLLEN> indicators;
    lxw_format* format = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CONNECTION OUT.xlsx < query\n", argv[0]);
        return 2;
    }
    const std::string query(std::istreambuf_iterator<char>(std::cin), {});

    raw::Connection connection(argv[1]);
    const SQLHSTMT stmt = connection.stmt;
    Check(
        SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(query.c_str())), SQL_NTS),
        SQL_HANDLE_STMT, stmt, "execute");

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(argv[2], &options);
    if (!book) {
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 1;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);

    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    std::vector<Column> columns(static_cast<std::size_t>(count));
    for (SQLUSMALLINT c = 0; c < static_cast<SQLUSMALLINT>(count); ++c) {
        SQLCHAR name[256] = {};
        SQLSMALLINT length = 0;
        Check(SQLDescribeCol(stmt, c + 1, name, sizeof name, &length, nullptr, nullptr, nullptr,
                             nullptr),
              SQL_HANDLE_STMT, stmt, "describe");
        Column& col = columns[c];
        col.format = workbook_add_format(book);
        format_set_num_format(col.format, "@");
        worksheet_set_column(sheet, c, c, LXW_DEF_COL_WIDTH, col.format);
        worksheet_write_string(sheet, 0, c, reinterpret_cast<const char*>(name), nullptr);
        col.buffer.resize(kBlock * kTextBytes);
        col.indicators.resize(kBlock);
    }
    SQLULEN fetched = 0;
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0),
          SQL_HANDLE_STMT, stmt, "block");
    Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0), SQL_HANDLE_STMT, stmt,
          "fetched");
    for (SQLUSMALLINT c = 0; c < static_cast<SQLUSMALLINT>(count); ++c) {
        Column& col = columns[c];
        Check(SQLBindCol(stmt, c + 1, SQL_C_CHAR, col.buffer.data(), kTextBytes,
                         col.indicators.data()),
              SQL_HANDLE_STMT, stmt, "bind");
    }
    lxw_row_t row = 1;
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, SQL_HANDLE_STMT, stmt, "fetch");
        for (SQLULEN r = 0; r < fetched; ++r, ++row) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const Column& col = columns[c];
                if (col.indicators[r] == SQL_NULL_DATA)
                    continue;
                worksheet_write_string(sheet, row, static_cast<lxw_col_t>(c),
                                       col.buffer.data() + r * kTextBytes, col.format);
            }
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%u\n", static_cast<unsigned>(row - 1));
    return 0;
}
