#include "data/odbc_catalog.h"

#include "data/odbc_check.h"
#include "data/odbc_info.h"
#include "data/odbc_session.h"
#include "data/odbc_text.h"

#include <sqlext.h>

#include <QSet>

namespace brindle::odbc {

namespace {

SQLUINTEGER InfoBits(SQLHDBC dbc, SQLUSMALLINT item) {
    SQLUINTEGER bits = 0;
    return SQL_SUCCEEDED(SQLGetInfoW(dbc, item, &bits, sizeof bits, nullptr)) ? bits : 0;
}

// The text of a result column of the current row; null for NULL.
QString TextAt(SQLHSTMT stmt, SQLUSMALLINT column) {
    std::vector<SQLWCHAR> buffer(256);
    QString whole;
    for (;;) {
        SQLLEN indicator = 0;
        const auto bytes = static_cast<SQLLEN>(buffer.size() * sizeof(SQLWCHAR));
        const SQLRETURN rc =
            Check(SQLGetData(stmt, column, SQL_C_WCHAR, buffer.data(), bytes, &indicator),
                  SQL_HANDLE_STMT, stmt, "SQLGetData");
        if (rc == SQL_NO_DATA)
            return whole;
        if (indicator == SQL_NULL_DATA)
            return {};
        const qsizetype room = static_cast<qsizetype>(buffer.size()) - 1;
        const bool more =
            rc == SQL_SUCCESS_WITH_INFO &&
            (indicator == SQL_NO_TOTAL || indicator / qsizetype(sizeof(SQLWCHAR)) > room);
        const qsizetype got =
            more ? room : qMin(room, qsizetype(indicator / qsizetype(sizeof(SQLWCHAR))));
        whole += FromSqlWide(buffer.data(), got);
        if (!more)
            return whole.isNull() ? QStringLiteral("") : whole;
    }
}

std::optional<qint64> NumberAt(SQLHSTMT stmt, SQLUSMALLINT column) {
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(stmt, column, SQL_C_SBIGINT, &value, sizeof value, &indicator);
    if (!SQL_SUCCEEDED(rc) || indicator == SQL_NULL_DATA)
        return std::nullopt;
    return static_cast<qint64>(value);
}

// A catalog argument: null for "any" (the driver manager takes a null
// pointer), otherwise a NUL-terminated copy.
struct Argument {
    explicit Argument(const QString& text) : isNull(text.isNull()), wide(ToSqlWide(text)) {}
    SQLWCHAR* get() { return isNull ? nullptr : wide.data(); }
    SQLSMALLINT length() const { return isNull ? 0 : SQL_NTS; }
    bool isNull;
    std::vector<SQLWCHAR> wide;
};

// The catalog functions take patterns: "_" and "%" in a real name must be
// escaped, or "my_table" finds "myxtable" too.
QString AsPattern(const QString& name, const QString& escape) {
    if (escape.isEmpty() || name.isNull())
        return name;
    QString out;
    out.reserve(name.size() + 4);
    for (const QChar c : name) {
        if (c == u'_' || c == u'%' || QStringView(escape) == QStringView(&c, 1))
            out += escape;
        out += c;
    }
    return out;
}

// Empty catalog or schema names are "none" to the catalog functions only as
// null pointers in some drivers; an empty string would ask for tables
// without a schema.
QString NullIfEmpty(const QString& text) {
    return text.isEmpty() ? QString() : text;
}

// Runs SQLColumns for the pattern and keeps the rows of exactly this table.
std::vector<catalog::Column> ColumnsMatching(const Session& session, const catalog::Table& table,
                                             const QString& tablePattern) {
    StatementHandle stmt = AllocateStatement(session.connection());
    const SQLHSTMT h = stmt.get();
    Argument catalogName(NullIfEmpty(table.catalog));
    Argument schemaName(NullIfEmpty(table.schema));
    Argument tableName(tablePattern);
    Check(SQLColumnsW(h, catalogName.get(), catalogName.length(), schemaName.get(),
                      schemaName.length(), tableName.get(), tableName.length(), nullptr, 0),
          SQL_HANDLE_STMT, h, "SQLColumnsW");
    std::vector<catalog::Column> columns;
    while (Check(SQLFetch(h), SQL_HANDLE_STMT, h, "SQLFetch") != SQL_NO_DATA) {
        if (TextAt(h, 3) != table.name)
            continue;
        catalog::Column column;
        column.name = TextAt(h, 4);
        column.typeName = TextAt(h, 6);
        column.size = NumberAt(h, 7).value_or(-1);
        column.nullable = static_cast<int>(NumberAt(h, 11).value_or(SQL_NULLABLE_UNKNOWN));
        columns.push_back(std::move(column));
    }
    return columns;
}

QSet<QString> PrimaryKeyColumns(const Session& session, const catalog::Table& table) {
    QSet<QString> keys;
    try {
        StatementHandle stmt = AllocateStatement(session.connection());
        const SQLHSTMT h = stmt.get();
        Argument catalogName(NullIfEmpty(table.catalog));
        Argument schemaName(NullIfEmpty(table.schema));
        Argument tableName(table.name);
        Check(SQLPrimaryKeysW(h, catalogName.get(), catalogName.length(), schemaName.get(),
                              schemaName.length(), tableName.get(), tableName.length()),
              SQL_HANDLE_STMT, h, "SQLPrimaryKeysW");
        while (Check(SQLFetch(h), SQL_HANDLE_STMT, h, "SQLFetch") != SQL_NO_DATA)
            keys.insert(TextAt(h, 4));
    } catch (const Error&) {
        // A driver without primary keys (or a view) shows its columns unmarked.
        return {};
    }
    return keys;
}

} // namespace

catalog::NameRules ReadNameRules(const Session& session) {
    const SQLHDBC dbc = session.connection().get();
    catalog::NameRules rules;
    rules.quote = InfoText(dbc, SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
    SQLUSMALLINT identifierCase = 0;
    if (SQL_SUCCEEDED(
            SQLGetInfoW(dbc, SQL_IDENTIFIER_CASE, &identifierCase, sizeof identifierCase, nullptr)))
        rules.identifierCase = identifierCase;
    if (InfoBits(dbc, SQL_CATALOG_USAGE) != 0)
        rules.catalogTerm = InfoText(dbc, SQL_CATALOG_TERM);
    if (InfoBits(dbc, SQL_SCHEMA_USAGE) != 0)
        rules.schemaTerm = InfoText(dbc, SQL_SCHEMA_TERM);
    rules.searchEscape = InfoText(dbc, SQL_SEARCH_PATTERN_ESCAPE);
    const QString keywords = InfoText(dbc, SQL_KEYWORDS);
    for (const QString& word : keywords.split(u',', Qt::SkipEmptyParts))
        rules.driverKeywords.append(word.trimmed().toUpper());
    return rules;
}

std::vector<catalog::Table> ReadTables(const Session& session, const StopRequested& stop) {
    StatementHandle stmt = AllocateStatement(session.connection());
    const SQLHSTMT h = stmt.get();
    Argument types(QStringLiteral("TABLE,VIEW"));
    // No name pattern: some drivers then look only in the search path.
    Check(SQLTablesW(h, nullptr, 0, nullptr, 0, nullptr, 0, types.get(), types.length()),
          SQL_HANDLE_STMT, h, "SQLTablesW");
    std::vector<catalog::Table> tables;
    while (Check(SQLFetch(h), SQL_HANDLE_STMT, h, "SQLFetch") != SQL_NO_DATA) {
        if (stop && stop())
            break;
        catalog::Table table;
        table.catalog = TextAt(h, 1);
        table.schema = TextAt(h, 2);
        table.name = TextAt(h, 3);
        table.kind = TextAt(h, 4);
        tables.push_back(std::move(table));
    }
    return tables;
}

std::vector<catalog::Column> ReadColumns(const Session& session, const catalog::NameRules& rules,
                                         const catalog::Table& table) {
    std::vector<catalog::Column> columns =
        ColumnsMatching(session, table, AsPattern(table.name, rules.searchEscape));
    // A driver that takes the escape as part of the name finds nothing; ask
    // again unescaped, the rows of other tables are dropped anyway.
    if (columns.empty() && !rules.searchEscape.isEmpty())
        columns = ColumnsMatching(session, table, table.name);
    const QSet<QString> keys = PrimaryKeyColumns(session, table);
    for (catalog::Column& column : columns)
        column.key = keys.contains(column.name);
    return columns;
}

} // namespace brindle::odbc

namespace brindle::catalog {

namespace {

class OdbcCatalog final : public CatalogSource {
public:
    explicit OdbcCatalog(const QString& connectionString) : m_session(connectionString) {}
    NameRules Rules() override {
        m_rules = odbc::ReadNameRules(m_session);
        return m_rules;
    }
    std::vector<Table> Tables(const StopRequested& stop) override {
        return odbc::ReadTables(m_session, stop);
    }
    std::vector<Column> Columns(const Table& table) override {
        return odbc::ReadColumns(m_session, m_rules, table);
    }

private:
    odbc::Session m_session;
    NameRules m_rules;
};

} // namespace

std::unique_ptr<CatalogSource> OpenOdbcCatalog(const QString& connectionString) {
    return std::make_unique<OdbcCatalog>(connectionString);
}

} // namespace brindle::catalog
