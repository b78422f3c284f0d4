#include "cli/cli_exec.h"

#include "cli/cli_io.h"
#include "cli/cli_json.h"
#include "cli/cli_query_run.h"
#include "cli/cli_result_format.h"
#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/odbc_data_sources.h"
#include "data/odbc_locale.h"
#include "data/recordset.h"
#include "data/run_results.h"

#include <optional>
#include <utility>

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

// Output is written in pieces of about this many UTF-16 units.
constexpr qsizetype kWriteChunk = 1 << 20;

// One JSON line per outcome of every batch that ran, in order; a failing
// batch ends with its error. False when stdout cannot be written.
bool WriteJsonLines(const RunResults& results) {
    QString out;
    for (const RunBatch& batch : results.Batches()) {
        const auto line = [&](const auto& members) {
            out += u"{\"batch\":" + QString::number(batch.number) + u",\"line\":" +
                   QString::number(batch.place.line) + u",\"ms\":" + QString::number(batch.ms) +
                   u',';
            members();
            out += u"}\n";
        };
        bool didSomething = false;
        for (const BatchOutcome& outcome : batch.outcomes) {
            switch (outcome.kind) {
            case BatchOutcome::Kind::Rows:
                if (outcome.table) {
                    line([&] { AppendJsonColumnsAndRows(out, outcome.table); });
                    didSomething = true;
                }
                break;
            case BatchOutcome::Kind::Updated:
                line([&] { out += u"\"updated\":" + QString::number(outcome.count); });
                didSomething = true;
                break;
            case BatchOutcome::Kind::Message:
                line([&] {
                    out += u"\"message\":";
                    AppendJsonString(out, outcome.text);
                });
                break;
            }
            if (out.size() >= kWriteChunk && !WriteStdoutUtf8(std::exchange(out, QString())))
                return false;
        }
        if (batch.outcome != BatchReport::Outcome::Completed) {
            line([&] {
                out += u"\"error\":";
                AppendJsonString(out, batch.error);
            });
        } else if (!didSomething) {
            line([&] { out += u"\"done\":true"; });
        }
    }
    return out.isEmpty() || WriteStdoutUtf8(out);
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
    bool formatGiven = false;
    bool allResults = false;
    constexpr std::string_view extraNames[] = {"--format", "--results"};
    const std::optional<QueryOptions> options = ParseQueryOptions(
        args, extraNames,
        [&](std::string_view name, std::string_view value, int& usage) {
            if (name == "--results") {
                if (value != "all" && value != "last") {
                    usage = UsageError(QStringLiteral("--results is all or last"));
                    return false;
                }
                allResults = value == "all";
                return true;
            }
            const std::optional<ResultFormat> named = FormatNamed(value);
            if (!named) {
                usage = UsageError(QStringLiteral("--format is tsv, json, csv or count"));
                return false;
            }
            format = *named;
            formatGiven = true;
            return true;
        },
        status);
    if (!options)
        return status;
    if (allResults && formatGiven)
        return UsageError(QStringLiteral("--results all writes JSON lines; --format is for the "
                                         "last result only"));
    Connection connection;
    Command command;
    Recordset rs;
    if (allResults) {
        RunResults results;
        const bool ran = RunStdinQuery(*options, connection, command, rs, &results);
        if (!WriteJsonLines(results))
            return kExitFailure;
        return ran ? kExitOk : kExitFailure;
    }
    if (!RunStdinQuery(*options, connection, command, rs))
        return kExitFailure;
    if (rs.State() == 0)
        return kExitOk;
    return WriteStdoutUtf8(FormatResult(rs, format)) ? kExitOk : kExitFailure;
}

} // namespace brindle::cli
