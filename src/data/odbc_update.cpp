#include "data/odbc_update.h"

#include "data/odbc_check.h"
#include "data/odbc_exec_direct.h"
#include "data/odbc_handles.h"
#include "data/odbc_object_errors.h"
#include "data/odbc_session.h"
#include "data/odbc_text.h"

#include <sqlext.h>

#include <set>
#include <variant>

namespace brindle::odbc {

namespace {

// A name argument of a catalog function: null for "any", which an empty
// part means here.
class NameArgument {
public:
    explicit NameArgument(const QString& name) : m_null(name.isEmpty()), m_text(ToSqlWide(name)) {}
    SQLWCHAR* data() { return m_null ? nullptr : m_text.data(); }
    SQLSMALLINT length() const { return m_null ? 0 : SQL_NTS; }

private:
    bool m_null;
    std::vector<SQLWCHAR> m_text;
};

QString TextColumn(SQLHSTMT statement, SQLUSMALLINT column) {
    std::vector<SQLWCHAR> buffer(512);
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_WCHAR, buffer.data(),
                                  static_cast<SQLLEN>(buffer.size() * sizeof(SQLWCHAR)),
                                  &indicator)) ||
        indicator < 0)
        return QString();
    const auto units = std::min<std::size_t>(static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR),
                                             buffer.size() - 1);
    return FromSqlWide(buffer.data(), static_cast<qsizetype>(units));
}

// Autocommit off for one statement, and on again whatever happens; a
// transaction left open by a failure is rolled back first.
class OwnTransaction {
public:
    explicit OwnTransaction(SQLHDBC connection) : m_connection(connection) {
        Check(SQLSetConnectAttr(connection, SQL_ATTR_AUTOCOMMIT,
                                reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
              SQL_HANDLE_DBC, connection, "SQLSetConnectAttr(SQL_ATTR_AUTOCOMMIT)");
    }
    ~OwnTransaction() {
        if (!m_ended)
            SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_ROLLBACK);
        SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    }
    OwnTransaction(const OwnTransaction&) = delete;
    OwnTransaction& operator=(const OwnTransaction&) = delete;

    void end(SQLSMALLINT completion) {
        m_ended = true;
        Check(SQLEndTran(SQL_HANDLE_DBC, m_connection, completion), SQL_HANDLE_DBC, m_connection,
              "SQLEndTran");
    }

private:
    SQLHDBC m_connection;
    bool m_ended = false;
};

// The buffer one parameter is bound from; it lives until the statement ran.
struct BoundParameter {
    std::variant<std::monostate, SQLBIGINT, double, std::vector<SQLWCHAR>, QByteArray,
                 SQL_DATE_STRUCT, SQL_TIME_STRUCT, SQL_TIMESTAMP_STRUCT>
        buffer;
    SQLLEN indicator = 0;
};

SQLSMALLINT DefaultSqlType(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Integer:
        return SQL_BIGINT;
    case ColumnKind::Double:
        return SQL_DOUBLE;
    case ColumnKind::Decimal:
        return SQL_DECIMAL;
    case ColumnKind::Date:
        return SQL_TYPE_DATE;
    case ColumnKind::Time:
        return SQL_TYPE_TIME;
    case ColumnKind::DateTime:
        return SQL_TYPE_TIMESTAMP;
    case ColumnKind::Binary:
        return SQL_VARBINARY;
    case ColumnKind::Text:
        break;
    }
    return SQL_WVARCHAR;
}

// Text goes in the width the driver handles itself, as the statement does.
void Bind(SQLHSTMT statement, SQLUSMALLINT number, const UpdateParameter& p, BoundParameter& b,
          bool wide) {
    const SQLSMALLINT sqlType = p.source.sqlType != 0 ? p.source.sqlType : DefaultSqlType(p.kind);
    SQLULEN size = p.source.size;
    SQLSMALLINT digits = p.source.decimalDigits;
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLPOINTER data = nullptr;
    SQLLEN bytes = 0;
    if (p.value.isNull()) {
        b.indicator = SQL_NULL_DATA;
        cType = p.kind == ColumnKind::Binary ? SQL_C_BINARY : SQL_C_WCHAR;
        size = std::max<SQLULEN>(size, 1);
    } else {
        switch (p.kind) {
        case ColumnKind::Integer:
            cType = SQL_C_SBIGINT;
            data = &b.buffer.emplace<SQLBIGINT>(p.value.toLongLong());
            break;
        case ColumnKind::Double:
            cType = SQL_C_DOUBLE;
            data = &b.buffer.emplace<double>(p.value.toDouble());
            break;
        case ColumnKind::Date: {
            const QDate d = p.value.toDate();
            cType = SQL_C_TYPE_DATE;
            data = &b.buffer.emplace<SQL_DATE_STRUCT>(SQL_DATE_STRUCT{
                static_cast<SQLSMALLINT>(d.year()), static_cast<SQLUSMALLINT>(d.month()),
                static_cast<SQLUSMALLINT>(d.day())});
            break;
        }
        case ColumnKind::Time: {
            const QTime t = p.value.toTime();
            cType = SQL_C_TYPE_TIME;
            data = &b.buffer.emplace<SQL_TIME_STRUCT>(SQL_TIME_STRUCT{
                static_cast<SQLUSMALLINT>(t.hour()), static_cast<SQLUSMALLINT>(t.minute()),
                static_cast<SQLUSMALLINT>(t.second())});
            break;
        }
        case ColumnKind::DateTime: {
            // Kept in UTC: the stored wall-clock value.
            const QDateTime s = p.value.toDateTime().toUTC();
            cType = SQL_C_TYPE_TIMESTAMP;
            data = &b.buffer.emplace<SQL_TIMESTAMP_STRUCT>(
                SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(s.date().year()),
                                     static_cast<SQLUSMALLINT>(s.date().month()),
                                     static_cast<SQLUSMALLINT>(s.date().day()),
                                     static_cast<SQLUSMALLINT>(s.time().hour()),
                                     static_cast<SQLUSMALLINT>(s.time().minute()),
                                     static_cast<SQLUSMALLINT>(s.time().second()),
                                     static_cast<SQLUINTEGER>(s.time().msec()) * 1000000u});
            if (s.time().msec() != 0)
                digits = std::max<SQLSMALLINT>(digits, 3);
            break;
        }
        case ColumnKind::Binary: {
            QByteArray& bytesBuffer = b.buffer.emplace<QByteArray>(p.value.toByteArray());
            cType = SQL_C_BINARY;
            data = bytesBuffer.data();
            bytes = bytesBuffer.size();
            size = std::max<SQLULEN>(static_cast<SQLULEN>(bytes), 1);
            break;
        }
        case ColumnKind::Text:
        case ColumnKind::Decimal: {
            const QString value = p.value.toString();
            if (p.kind == ColumnKind::Text)
                size = std::max<SQLULEN>(static_cast<SQLULEN>(value.size()), 1);
            if (!wide) {
                QByteArray& utf8 = b.buffer.emplace<QByteArray>(value.toUtf8());
                cType = SQL_C_CHAR;
                data = utf8.data();
                bytes = utf8.size();
                break;
            }
            std::vector<SQLWCHAR>& text = b.buffer.emplace<std::vector<SQLWCHAR>>(ToSqlWide(value));
            data = text.data();
            // ToSqlWide ends the text with a terminator, which is not sent.
            bytes = static_cast<SQLLEN>((text.size() - 1) * sizeof(SQLWCHAR));
            break;
        }
        }
        // Fixed-size buffers carry their own length; the indicator says only
        // "not NULL" for them.
        b.indicator = bytes;
    }
    Check(SQLBindParameter(statement, number, SQL_PARAM_INPUT, cType, sqlType, size, digits, data,
                           bytes, &b.indicator),
          SQL_HANDLE_STMT, statement, "SQLBindParameter");
}

} // namespace

QString IdentifierQuote(const Session& session) {
    SQLWCHAR quote[8] = {};
    SQLSMALLINT bytes = 0;
    const SQLHDBC dbc = session.connection().get();
    if (!SQL_SUCCEEDED(SQLGetInfoW(dbc, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof(quote), &bytes)))
        return QStringLiteral(" ");
    const auto units = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(SQLWCHAR), 7);
    return FromSqlWide(quote, static_cast<qsizetype>(units));
}

QStringList PrimaryKeyColumns(const Session& session, const WriteTarget& target) {
    const StatementHandle statement = AllocateStatement(session.connection());
    const SQLHSTMT stmt = statement.get();
    NameArgument catalog(target.catalog), schema(target.schema), table(target.table);
    if (!SQL_SUCCEEDED(SQLPrimaryKeysW(stmt, catalog.data(), catalog.length(), schema.data(),
                                       schema.length(), table.data(), table.length())))
        return {};
    std::vector<std::pair<int, QString>> keys;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        // A pattern-free argument, but some drivers match loosely: only rows
        // of this very table count.
        if (TextColumn(stmt, 3) != target.table)
            continue;
        SQLSMALLINT sequence = 0;
        SQLLEN indicator = 0;
        SQLGetData(stmt, 5, SQL_C_SSHORT, &sequence, 0, &indicator);
        keys.emplace_back(sequence, TextColumn(stmt, 4));
    }
    std::sort(keys.begin(), keys.end());
    QStringList names;
    for (const auto& key : keys)
        names.push_back(key.second);
    return names;
}

bool TableHasColumns(const Session& session, const WriteTarget& target) {
    const StatementHandle statement = AllocateStatement(session.connection());
    const SQLHSTMT stmt = statement.get();
    NameArgument catalog(target.catalog), schema(target.schema), table(target.table);
    if (!SQL_SUCCEEDED(SQLColumnsW(stmt, catalog.data(), catalog.length(), schema.data(),
                                   schema.length(), table.data(), table.length(), nullptr, 0)))
        return false;
    std::set<QString> columns;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        // The table name is a search pattern ("_" matches any character).
        if (TextColumn(stmt, 3) == target.table)
            columns.insert(TextColumn(stmt, 4));
    }
    for (const QString& column : target.columns) {
        if (!columns.count(column))
            return false;
    }
    return true;
}

void ExecuteSingleRowUpdate(const Session& session, const QString& sql,
                            const std::vector<UpdateParameter>& parameters) {
    const SQLHDBC dbc = session.connection().get();
    OwnTransaction transaction(dbc);
    const StatementHandle statement = AllocateStatement(session.connection());
    const SQLHSTMT stmt = statement.get();
    std::vector<BoundParameter> bound(parameters.size());
    for (std::size_t i = 0; i < parameters.size(); ++i)
        Bind(stmt, static_cast<SQLUSMALLINT>(i + 1), parameters[i], bound[i], session.wideText());
    Check(ExecDirect(stmt, sql, session.wideText()), SQL_HANDLE_STMT, stmt, "SQLExecDirect");
    SQLLEN rows = 0;
    Check(SQLRowCount(stmt, &rows), SQL_HANDLE_STMT, stmt, "SQLRowCount");
    if (rows != 1) {
        transaction.end(SQL_ROLLBACK);
        throw rows == 0 ? RowNotLocatedError() : RowNotUniqueError();
    }
    transaction.end(SQL_COMMIT);
}

} // namespace brindle::odbc
