#include "cli/cli_schema.h"

#include "cli/cli_io.h"
#include "cli/cli_json.h"
#include "cli/cli_query_run.h"
#include "cli/cli_result_format.h"
#include "core/error.h"
#include "data/catalog.h"
#include "data/connection_string.h"
#include "data/odbc_catalog.h"
#include "data/odbc_locale.h"
#include "data/odbc_session.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>

namespace brindle::cli {

namespace {

struct TableColumns {
    catalog::Table table;
    std::vector<catalog::Column> columns;
};

// "%" any text, "_" any one character, letter case aside: the catalog
// functions' patterns, matched here since drivers read them differently.
QRegularExpression TablePattern(const QString& pattern) {
    QString expression;
    for (const QChar c : pattern) {
        if (c == u'%')
            expression += QStringLiteral(".*");
        else if (c == u'_')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

QString NullableText(int nullable) {
    return nullable == 0 ? QStringLiteral("NO") : nullable == 1 ? QStringLiteral("YES") : QString();
}

QString Tsv(const std::vector<TableColumns>& catalog) {
    QString out = QStringLiteral("schema\ttable\tkind\tcolumn\ttype\tsize\tnullable\tkey\n");
    const auto row = [&out](const catalog::Table& table, const catalog::Column* column) {
        AppendTsvField(out, table.group());
        out += u'\t';
        AppendTsvField(out, table.name);
        out += u'\t';
        AppendTsvField(out, table.kind);
        out += u'\t';
        if (column) {
            AppendTsvField(out, column->name);
            out += u'\t';
            AppendTsvField(out, column->typeName);
            out += u'\t' + (column->size >= 0 ? QString::number(column->size) : QString()) + u'\t' +
                   NullableText(column->nullable) + u'\t' +
                   (column->key ? QStringLiteral("PK") : QString());
        } else {
            out += QStringLiteral("\t\t\t\t");
        }
        out += u'\n';
    };
    for (const TableColumns& entry : catalog) {
        if (entry.columns.empty())
            row(entry.table, nullptr); // a table whose columns cannot be read still shows
        for (const catalog::Column& column : entry.columns)
            row(entry.table, &column);
    }
    return out;
}

QString Json(const std::vector<TableColumns>& catalog) {
    QString out = QStringLiteral("[");
    const auto row = [&out](const catalog::Table& table, const catalog::Column* column) {
        if (out.size() > 1)
            out += u',';
        out += u"{\"schema\":";
        AppendJsonString(out, table.group());
        out += u",\"table\":";
        AppendJsonString(out, table.name);
        out += u",\"kind\":";
        AppendJsonString(out, table.kind);
        if (!column) {
            out += u",\"column\":null,\"type\":null,\"size\":null,\"nullable\":null,\"key\":false}";
            return;
        }
        out += u",\"column\":";
        AppendJsonString(out, column->name);
        out += u",\"type\":";
        AppendJsonString(out, column->typeName);
        out += u",\"size\":" +
               (column->size >= 0 ? QString::number(column->size) : QStringLiteral("null")) +
               u",\"nullable\":" +
               (column->nullable == 0   ? QStringLiteral("false")
                : column->nullable == 1 ? QStringLiteral("true")
                                        : QStringLiteral("null")) +
               u",\"key\":" + (column->key ? u"true" : u"false") + u'}';
    };
    for (const TableColumns& entry : catalog) {
        if (entry.columns.empty())
            row(entry.table, nullptr);
        for (const catalog::Column& column : entry.columns)
            row(entry.table, &column);
    }
    return out + u"]\n";
}

} // namespace

int RunSchema(std::span<const std::string_view> args) {
    QString tablePattern;
    bool json = false;
    constexpr std::array<std::string_view, 2> kExtra{"--table", "--format"};
    int status = kExitOk;
    const std::optional<QueryOptions> options = ParseQueryOptions(
        args, kExtra,
        [&](std::string_view name, std::string_view value, int& why) {
            const QString text = QString::fromLocal8Bit(value);
            if (name == "--table") {
                tablePattern = text;
                return true;
            }
            if (text != u"tsv" && text != u"json") {
                why = UsageError(QStringLiteral("--format is tsv or json"));
                return false;
            }
            json = text == u"json";
            return true;
        },
        status);
    if (!options)
        return status;
    UseUtf8CharacterSet();
    try {
        const odbc::Session session(
            BuildConnectionString(options->dsn, options->uid, options->pwd));
        const catalog::NameRules rules = odbc::ReadNameRules(session);
        std::vector<catalog::Table> tables = odbc::ReadTables(session);
        if (!tablePattern.isEmpty()) {
            const QRegularExpression pattern = TablePattern(tablePattern);
            std::erase_if(tables, [&](const catalog::Table& table) {
                return !pattern.match(table.name).hasMatch();
            });
        }
        std::stable_sort(tables.begin(), tables.end(),
                         [](const catalog::Table& a, const catalog::Table& b) {
                             return std::tie(a.catalog, a.schema, a.name) <
                                    std::tie(b.catalog, b.schema, b.name);
                         });
        std::vector<TableColumns> catalog;
        catalog.reserve(tables.size());
        for (catalog::Table& table : tables) {
            std::vector<catalog::Column> columns;
            try {
                columns = odbc::ReadColumns(session, rules, table);
            } catch (const Error& e) {
                // One table the driver cannot describe does not hide the rest.
                ReportError(table.name + u": " + e.description());
            }
            catalog.push_back({std::move(table), std::move(columns)});
        }
        return WriteStdoutUtf8(json ? Json(catalog) : Tsv(catalog)) ? kExitOk : kExitFailure;
    } catch (const Error& e) {
        ReportError(e.description());
        return kExitFailure;
    }
}

} // namespace brindle::cli
