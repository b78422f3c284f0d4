#include "cli/cli_exec.h"

#include "cli/cli_io.h"
#include "cli/cli_query_run.h"
#include "cli/cli_result_format.h"
#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/odbc_data_sources.h"
#include "data/odbc_locale.h"
#include "data/recordset.h"

#include <optional>

namespace brindle::cli {

namespace {

std::optional<ResultFormat> FormatNamed(std::string_view name) {
    if (name == "tsv")
        return ResultFormat::Tsv;
    if (name == "json")
        return ResultFormat::Json;
    if (name == "count")
        return ResultFormat::Count;
    if (name == "csv")
        return ResultFormat::Csv;
    return std::nullopt;
}

} // namespace

int RunDsns(std::span<const std::string_view> args) {
    if (!args.empty())
        return UsageError(u"unexpected argument: " + QString::fromLocal8Bit(args[0]));
    UseUtf8CharacterSet();
    QString out;
    const QStringList names = DataSourceNames();
    for (const QString& name : names)
        out += name + u'\n';
    return WriteStdoutUtf8(out) ? kExitOk : kExitFailure;
}

int RunExec(std::span<const std::string_view> args) {
    int status = kExitOk;
    ResultFormat format = ResultFormat::Tsv;
    constexpr std::string_view extraNames[] = {"--format"};
    const std::optional<QueryOptions> options = ParseQueryOptions(
        args, extraNames,
        [&format](std::string_view, std::string_view value, int& usage) {
            const std::optional<ResultFormat> named = FormatNamed(value);
            if (!named) {
                usage = UsageError(QStringLiteral("--format is tsv, json, csv or count"));
                return false;
            }
            format = *named;
            return true;
        },
        status);
    if (!options)
        return status;
    Connection connection;
    Command command;
    Recordset rs;
    if (!RunStdinQuery(*options, connection, command, rs))
        return kExitFailure;
    if (rs.State() == 0)
        return kExitOk;
    return WriteStdoutUtf8(FormatResult(rs, format)) ? kExitOk : kExitFailure;
}

} // namespace brindle::cli
