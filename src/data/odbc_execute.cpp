#include "data/odbc_execute.h"

#include "data/odbc_check.h"
#include "data/odbc_fetch.h"
#include "data/odbc_handles.h"
#include "data/odbc_text.h"

#include <sqlext.h>

#include <algorithm>

namespace brindle::odbc {

namespace {

bool HasColumns(SQLHSTMT statement) {
    SQLSMALLINT columns = 0;
    Check(SQLNumResultCols(statement, &columns), SQL_HANDLE_STMT, statement, "SQLNumResultCols");
    return columns > 0;
}

// False when there are no more results.
bool NextResult(SQLHSTMT statement) {
    return Check(SQLMoreResults(statement), SQL_HANDLE_STMT, statement, "SQLMoreResults") !=
           SQL_NO_DATA;
}

// Adds the rows the current result (one without columns) changed; drivers
// that cannot tell give -1 or fail, and then nothing is added.
void CountChangedRows(SQLHSTMT statement, BatchFacts* facts) {
    if (!facts)
        return;
    SQLLEN rows = -1;
    if (!SQL_SUCCEEDED(SQLRowCount(statement, &rows)) || rows < 0)
        return;
    facts->rowsChanged = std::max<qint64>(facts->rowsChanged, 0) + rows;
}

} // namespace

std::unique_ptr<ResultTable> ExecuteBatch(const Session& session, const QString& text,
                                          int timeoutSeconds, RunControl* control,
                                          BatchFacts* facts) {
    const StatementHandle statement = AllocateStatement(session.connection());
    const SQLHSTMT stmt = statement.get();
    const AttachedStatement attached(control, stmt);
    Check(SQLSetStmtAttr(
              stmt, SQL_ATTR_QUERY_TIMEOUT,
              reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(qMax(timeoutSeconds, 0))), 0),
          SQL_HANDLE_STMT, stmt, "SQLSetStmtAttr(SQL_ATTR_QUERY_TIMEOUT)");

    // Only a cursor that scrolls lets long values be read again row by row;
    // a driver that refuses keeps its forward-only cursor and fetches singly.
    if (session.rereadByScrolling())
        SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC),
                       0);

    std::vector<SQLWCHAR> sql = ToSqlWide(text);
    // SQL_NO_DATA here is a statement that touched no rows, not a failure.
    Check(SQLExecDirectW(stmt, sql.data(), SQL_NTS), SQL_HANDLE_STMT, stmt, "SQLExecDirectW");

    // A cancel that the driver did not notice still stops at the next result.
    const auto checkCancel = [control] {
        if (control)
            control->throwIfCancelled();
    };
    std::unique_ptr<ResultTable> table;
    for (;;) {
        checkCancel();
        if (HasColumns(stmt)) {
            table = std::make_unique<ResultTable>(FetchAll(stmt, session, control));
            break;
        }
        CountChangedRows(stmt, facts);
        if (!NextResult(stmt))
            return nullptr;
    }
    while (NextResult(stmt))
        checkCancel();
    if (facts)
        facts->rowsChanged = -1; // the batch has a result; its rows are what counts
    return table;
}

} // namespace brindle::odbc
