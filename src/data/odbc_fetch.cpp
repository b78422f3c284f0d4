#include "data/odbc_fetch.h"

#include "data/odbc_bound_column.h"
#include "data/odbc_check.h"
#include "data/odbc_column_origin.h"
#include "data/odbc_column_plan.h"
#include "data/odbc_get_data.h"
#include "data/odbc_text.h"

#include <sqlext.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace brindle::odbc {

namespace {

ColumnDescription Describe(SQLHSTMT statement, SQLUSMALLINT column) {
    ColumnDescription d;
    std::vector<SQLWCHAR> name(256);
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT nullable = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        Check(SQLDescribeColW(statement, column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                              &nameLength, &d.sqlType, &d.size, &d.decimalDigits, &nullable),
              SQL_HANDLE_STMT, statement, "SQLDescribeColW");
        if (nameLength < static_cast<SQLSMALLINT>(name.size()))
            break;
        name.resize(static_cast<std::size_t>(nameLength) + 1);
    }
    d.name = FromSqlWide(name.data(),
                         qMin<qsizetype>(nameLength, static_cast<qsizetype>(name.size()) - 1));
    if (d.sqlType == SQL_BIGINT) {
        SQLLEN isUnsigned = SQL_FALSE;
        // Optional: a driver that cannot say is taken as signed.
        if (SQL_SUCCEEDED(SQLColAttributeW(statement, column, SQL_DESC_UNSIGNED, nullptr, 0,
                                           nullptr, &isUnsigned)))
            d.isUnsigned = isUnsigned == SQL_TRUE;
    }
    return d;
}

void SetAttribute(SQLHSTMT statement, SQLINTEGER attribute, SQLPOINTER value, const char* call) {
    Check(SQLSetStmtAttr(statement, attribute, value, 0), SQL_HANDLE_STMT, statement, call);
}

// Leaves the statement as it was before the fetch: no bound buffers or
// pointers into this function's memory, one row per fetch.
class BindingReset {
public:
    explicit BindingReset(SQLHSTMT statement) : m_statement(statement) {}
    ~BindingReset() {
        SQLFreeStmt(m_statement, SQL_UNBIND);
        SQLSetStmtAttr(m_statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
        SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
    }
    BindingReset(const BindingReset&) = delete;
    BindingReset& operator=(const BindingReset&) = delete;

private:
    SQLHSTMT m_statement;
};

// How the rows are fetched: rows per block, and which columns are bound.
class Fetcher {
public:
    Fetcher(SQLHSTMT statement, const Session& session, std::vector<ColumnPlan> plans)
        : m_statement(statement), m_session(session), m_plans(std::move(plans)),
          m_bound(m_plans.size()) {}

    void configure();
    void fetchInto(ResultTable& table, RunControl* control);

private:
    bool setRowArraySize(SQLULEN rows);
    void readRow(ResultTable& table, SQLULEN row);
    void scrollTo(SQLULEN row, SQLULEN rows);
    SQLRETURN fetchBlock();

    SQLHSTMT m_statement;
    const Session& m_session;
    std::vector<ColumnPlan> m_plans;
    std::vector<std::optional<BoundColumn>> m_bound;
    SQLULEN m_rows = 1;
    SQLULEN m_fetched = 0;
    bool m_scrollReread = false; // long values of a block read by scrolling to their row
    SQLULEN m_blockStart = 1;    // 1-based number of the block's first row
    bool m_scrolled = false;     // the cursor has left the block since it was fetched
    std::vector<SQLUSMALLINT> m_status;
};

bool Fetcher::setRowArraySize(SQLULEN rows) {
    const SQLRETURN rc =
        SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0);
    if (!SQL_SUCCEEDED(rc))
        return false;
    // The driver may have chosen another size (01S02); it is the one used.
    SQLULEN actual = rows;
    if (rc == SQL_SUCCESS_WITH_INFO)
        Check(SQLGetStmtAttr(m_statement, SQL_ATTR_ROW_ARRAY_SIZE, &actual, 0, nullptr),
              SQL_HANDLE_STMT, m_statement, "SQLGetStmtAttr(SQL_ATTR_ROW_ARRAY_SIZE)");
    m_rows = std::max<SQLULEN>(actual, 1);
    return true;
}

void Fetcher::configure() {
    const GetDataSupport& gd = m_session.getDataSupport();
    // SQLGetData beside bound columns, and on the rows of a block.
    const bool mixed = gd.anyColumn && gd.anyOrder && gd.bound;
    const bool setPosBlocks = gd.block && m_session.setPosSupported();
    SQLULEN cursorType = SQL_CURSOR_FORWARD_ONLY;
    if (!setPosBlocks && m_session.rereadByScrolling() &&
        !SQL_SUCCEEDED(SQLGetStmtAttr(m_statement, SQL_ATTR_CURSOR_TYPE, &cursorType, 0, nullptr)))
        cursorType = SQL_CURSOR_FORWARD_ONLY;
    m_scrollReread =
        !setPosBlocks && m_session.rereadByScrolling() && cursorType != SQL_CURSOR_FORWARD_ONLY;
    const bool inBlocks = mixed && (setPosBlocks || m_scrollReread);
    m_scrollReread = m_scrollReread && inBlocks;

    std::vector<bool> bindable(m_plans.size());
    for (std::size_t i = 0; i < m_plans.size(); ++i)
        bindable[i] = m_plans[i].bindBytes > 0;

    SetAttribute(m_statement, SQL_ATTR_ROW_BIND_TYPE,
                 reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN),
                 "SQLSetStmtAttr(SQL_ATTR_ROW_BIND_TYPE)");
    // A refused binding turns that column over to SQLGetData, which may rule
    // out blocks or bindings altogether; every round binds fewer columns, so
    // this ends.
    for (;;) {
        bool getData = false;
        for (std::size_t i = 0; i < m_plans.size(); ++i)
            getData = getData || !bindable[i] || m_plans[i].mayTruncate;
        const bool bindColumns = !getData || mixed;
        const SQLULEN wanted = !getData || inBlocks ? kBlockRows : 1;

        SQLFreeStmt(m_statement, SQL_UNBIND);
        for (auto& bound : m_bound)
            bound.reset();
        if (!setRowArraySize(wanted) && !setRowArraySize(1))
            m_rows = 1;

        bool refused = false;
        for (std::size_t i = 0; bindColumns && i < m_plans.size(); ++i) {
            if (!bindable[i])
                continue;
            m_bound[i].emplace(m_plans[i], m_rows, m_session.quirks().wideLengthsShort);
            if (!m_bound[i]->bind(m_statement, static_cast<SQLUSMALLINT>(i + 1))) {
                m_bound[i].reset();
                bindable[i] = false;
                refused = true;
            }
        }
        if (!refused)
            break;
    }
    m_status.assign(m_rows, SQL_ROW_NOROW);
    SetAttribute(m_statement, SQL_ATTR_ROW_STATUS_PTR, m_status.data(),
                 "SQLSetStmtAttr(SQL_ATTR_ROW_STATUS_PTR)");
    SetAttribute(m_statement, SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched,
                 "SQLSetStmtAttr(SQL_ATTR_ROWS_FETCHED_PTR)");
}

void Fetcher::scrollTo(SQLULEN row, SQLULEN rows) {
    Check(
        SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0),
        SQL_HANDLE_STMT, m_statement, "SQLSetStmtAttr(SQL_ATTR_ROW_ARRAY_SIZE)");
    Check(SQLFetchScroll(m_statement, SQL_FETCH_ABSOLUTE, static_cast<SQLLEN>(row)),
          SQL_HANDLE_STMT, m_statement, "SQLFetchScroll");
}

SQLRETURN Fetcher::fetchBlock() {
    if (!m_scrolled)
        return Check(SQLFetch(m_statement), SQL_HANDLE_STMT, m_statement, "SQLFetch");
    // Back to whole blocks, from the row after the last block.
    m_scrolled = false;
    Check(SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(m_rows),
                         0),
          SQL_HANDLE_STMT, m_statement, "SQLSetStmtAttr(SQL_ATTR_ROW_ARRAY_SIZE)");
    return Check(SQLFetchScroll(m_statement, SQL_FETCH_ABSOLUTE, static_cast<SQLLEN>(m_blockStart)),
                 SQL_HANDLE_STMT, m_statement, "SQLFetchScroll");
}

void Fetcher::readRow(ResultTable& table, SQLULEN row) {
    bool positioned = m_rows == 1;
    const auto position = [&] {
        if (positioned)
            return;
        if (m_scrollReread) {
            // The single row overwrites only the first element of each bound
            // buffer, whose row has been read already (or is this one).
            scrollTo(m_blockStart + row, 1);
            m_scrolled = true;
        } else {
            Check(SQLSetPos(m_statement, static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION,
                            SQL_LOCK_NO_CHANGE),
                  SQL_HANDLE_STMT, m_statement, "SQLSetPos");
        }
        positioned = true;
    };
    for (std::size_t i = 0; i < m_plans.size(); ++i) {
        ColumnValues& values = table.column(static_cast<int>(i));
        const auto& bound = m_bound[i];
        if (bound && !bound->truncated(row)) {
            bound->appendTo(values, row);
            continue;
        }
        position();
        ReadWholeValue(m_statement, static_cast<SQLUSMALLINT>(i + 1), m_plans[i], values,
                       m_session.quirks().wideLengthsShort);
    }
}

void Fetcher::fetchInto(ResultTable& table, RunControl* control) {
    for (;;) {
        if (control)
            control->throwIfCancelled();
        // A driver that leaves the count or the statuses alone has fetched
        // rows all the same; only what it does write is believed.
        m_fetched = 0;
        std::fill(m_status.begin(), m_status.end(), SQLUSMALLINT{SQL_ROW_SUCCESS});
        const SQLRETURN rc = fetchBlock();
        if (rc == SQL_NO_DATA)
            return;
        SQLULEN fetched = std::min(m_fetched, m_rows);
        if (fetched == 0 && m_rows == 1)
            fetched = 1;
        for (SQLULEN row = 0; row < fetched; ++row) {
            const SQLUSMALLINT status = m_status[row];
            if (status == SQL_ROW_NOROW)
                continue;
            if (status == SQL_ROW_ERROR)
                throw OdbcError(SQL_ERROR, SQL_HANDLE_STMT, m_statement, "SQLFetch (row error)");
            readRow(table, row);
        }
        m_blockStart += fetched;
        if (control)
            control->addRows(static_cast<qsizetype>(fetched));
    }
}

} // namespace

ResultTable FetchAll(SQLHSTMT statement, const Session& session, RunControl* control) {
    SQLSMALLINT columns = 0;
    Check(SQLNumResultCols(statement, &columns), SQL_HANDLE_STMT, statement, "SQLNumResultCols");
    ResultTable table;
    std::vector<ColumnPlan> plans;
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
        const ColumnDescription d = Describe(statement, c);
        plans.push_back(PlanColumn(d, session.wideText() ? TextWidth::Wide : TextWidth::Narrow));
        ColumnSource source;
        source.sqlType = d.sqlType;
        source.size = d.size;
        source.decimalDigits = d.decimalDigits;
        table.addColumn(d.name, plans.back().kind, source);
    }
    BindingReset reset(statement);
    Fetcher fetcher(statement, session, std::move(plans));
    fetcher.configure();
    fetcher.fetchInto(table, control);
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c)
        table.setColumnOrigin(c - 1, DescribeOrigin(statement, c));
    table.shrinkToFit();
    return table;
}

} // namespace brindle::odbc
