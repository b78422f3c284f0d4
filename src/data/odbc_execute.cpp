#include "data/odbc_execute.h"

#include "data/odbc_check.h"
#include "data/odbc_diagnostics.h"
#include "data/odbc_exec_direct.h"
#include "data/odbc_fetch.h"
#include "data/odbc_handles.h"
#include "data/odbc_text.h"
#include "data/odbc_timeout_watch.h"

#include <QElapsedTimer>

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

// The rows the current result (one without columns) changed; -1 when the
// driver cannot tell or fails to.
qint64 ChangedRows(SQLHSTMT statement) {
    SQLLEN rows = -1;
    if (!SQL_SUCCEEDED(SQLRowCount(statement, &rows)) || rows < 0)
        return -1;
    return rows;
}

// Adds the rows the current result (one without columns) changed; drivers
// that cannot tell give -1 or fail, and then nothing is added.
void CountChangedRows(SQLHSTMT statement, BatchFacts* facts) {
    if (!facts)
        return;
    const qint64 rows = ChangedRows(statement);
    if (rows >= 0)
        facts->rowsChanged = std::max<qint64>(facts->rowsChanged, 0) + rows;
}

// Gives the statement its time-out; false when the driver keeps none and
// says so (01S02, the value changed).
bool SetQueryTimeout(SQLHSTMT stmt, int seconds) {
    const auto wanted = static_cast<SQLULEN>(qMax(seconds, 0));
    const SQLRETURN rc =
        Check(SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(wanted), 0),
              SQL_HANDLE_STMT, stmt, "SQLSetStmtAttr(SQL_ATTR_QUERY_TIMEOUT)");
    if (rc != SQL_SUCCESS_WITH_INFO || wanted == 0)
        return true;
    SQLULEN kept = wanted;
    return !SQL_SUCCEEDED(SQLGetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, &kept, 0, nullptr)) ||
           kept == wanted;
}

// Writes the batch's elapsed time into the facts however it leaves.
class BatchClock {
public:
    explicit BatchClock(BatchFacts* facts) : m_facts(facts) {
        if (m_facts)
            m_clock.start();
    }
    ~BatchClock() {
        if (m_facts)
            m_facts->elapsedMs = m_clock.elapsed();
    }
    BatchClock(const BatchClock&) = delete;
    BatchClock& operator=(const BatchClock&) = delete;

private:
    BatchFacts* m_facts;
    QElapsedTimer m_clock;
};

// The driver's informational messages of the call that returned rc.
void KeepMessages(SQLRETURN rc, SQLHSTMT statement, BatchFacts& facts) {
    if (rc != SQL_SUCCESS_WITH_INFO && rc != SQL_NO_DATA)
        return;
    const QStringList records = DiagnosticRecords(SQL_HANDLE_STMT, statement);
    for (const QString& record : records) {
        BatchOutcome message;
        message.kind = BatchOutcome::Kind::Message;
        message.text = record;
        facts.outcomes.push_back(std::move(message));
    }
}

// Every result of the executed statement, kept in facts in the driver's order;
// returns the first that has columns. `rc` is what SQLExecDirect returned.
std::shared_ptr<const ResultTable> KeepAllResults(SQLHSTMT stmt, SQLRETURN rc,
                                                  const Session& session, RunControl* control,
                                                  BatchFacts& facts) {
    std::shared_ptr<const ResultTable> first;
    facts.rowsChanged = -1;
    for (;;) {
        KeepMessages(rc, stmt, facts);
        if (control)
            control->throwIfCancelled();
        if (HasColumns(stmt)) {
            auto table = std::make_shared<const ResultTable>(FetchAll(stmt, session, control));
            if (!first)
                first = table;
            BatchOutcome rows;
            rows.kind = BatchOutcome::Kind::Rows;
            rows.table = std::move(table);
            facts.outcomes.push_back(std::move(rows));
        } else if (const qint64 changed = ChangedRows(stmt); changed >= 0) {
            BatchOutcome updated;
            updated.kind = BatchOutcome::Kind::Updated;
            updated.count = changed;
            facts.outcomes.push_back(std::move(updated));
            if (!first)
                facts.rowsChanged = std::max<qint64>(facts.rowsChanged, 0) + changed;
        }
        rc = Check(SQLMoreResults(stmt), SQL_HANDLE_STMT, stmt, "SQLMoreResults");
        if (rc == SQL_NO_DATA) {
            KeepMessages(rc, stmt, facts);
            break;
        }
    }
    if (first)
        facts.rowsChanged = -1; // the batch has a result; its rows are what counts
    return first;
}

} // namespace

std::shared_ptr<const ResultTable> ExecuteBatch(const Session& session, const QString& text,
                                                int timeoutSeconds, RunControl* control,
                                                BatchFacts* facts) {
    const BatchClock clock(facts);
    // What the driver would refuse by itself, locking the connection as it
    // does, is refused here in its place.
    if (TooShortForDriver(session.quirks(), text))
        throw Error(
            kOdbcFailure,
            QStringLiteral("[42000] %1 文字に満たない文は、このドライバーでは実行できません。")
                .arg(session.quirks().shortestStatement));
    const StatementHandle statement = AllocateStatement(session.connection());
    const SQLHSTMT stmt = statement.get();
    const AttachedStatement attached(control, stmt);
    const bool driverTimesOut = SetQueryTimeout(stmt, timeoutSeconds);

    // Only a cursor that scrolls lets long values be read again row by row;
    // a driver that refuses keeps its forward-only cursor and fetches singly.
    if (session.rereadByScrolling())
        SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC),
                       0);

    SQLRETURN executed = SQL_ERROR;
    {
        // A driver without time-outs is stopped by a watch of ours.
        const TimeoutWatch watch(stmt, driverTimesOut ? 0 : timeoutSeconds);
        executed = ExecDirect(stmt, text, session.wideText());
        if (!SQL_SUCCEEDED(executed) && executed != SQL_NO_DATA && watch.expired())
            throw Error(
                kOdbcFailure,
                QStringLiteral("[HYT00] タイムアウト (%1 秒) になったため、実行を中止しました。")
                    .arg(timeoutSeconds));
    }
    // SQL_NO_DATA here is a statement that touched no rows, not a failure.
    Check(executed, SQL_HANDLE_STMT, stmt, "SQLExecDirect");
    if (facts && facts->keepAll)
        return KeepAllResults(stmt, executed, session, control, *facts);

    // A cancel that the driver did not notice still stops at the next result.
    const auto checkCancel = [control] {
        if (control)
            control->throwIfCancelled();
    };
    std::shared_ptr<const ResultTable> table;
    for (;;) {
        checkCancel();
        if (HasColumns(stmt)) {
            table = std::make_shared<const ResultTable>(FetchAll(stmt, session, control));
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
