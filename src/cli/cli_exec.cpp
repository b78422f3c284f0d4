#include "cli/cli_exec.h"

#include "cli/cli_io.h"
#include "cli/cli_result_format.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/connection_string.h"
#include "data/odbc_data_sources.h"
#include "data/odbc_locale.h"
#include "data/recordset.h"
#include "data/split_batches.h"
#include "shell/error.h"

#include <limits>
#include <optional>

namespace brindle::cli {

namespace {

struct ExecOptions {
    QString dsn;
    QString uid;
    QString pwd;
    std::optional<int> timeout;
    ResultFormat format = ResultFormat::Tsv;
};

std::optional<ResultFormat> FormatNamed(std::string_view name) {
    if (name == "tsv")
        return ResultFormat::Tsv;
    if (name == "json")
        return ResultFormat::Json;
    if (name == "count")
        return ResultFormat::Count;
    return std::nullopt;
}

// Parses the options; on a mistake returns the usage status in `status`.
std::optional<ExecOptions> ParseExecOptions(std::span<const std::string_view> args, int& status) {
    ExecOptions options;
    bool haveDsn = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (i + 1 >= args.size() || (arg != "--dsn" && arg != "--uid" && arg != "--pwd" &&
                                     arg != "--timeout" && arg != "--format")) {
            status = UsageError(u"unexpected argument: " + QString::fromLocal8Bit(arg));
            return std::nullopt;
        }
        const std::string_view value = args[++i];
        if (arg == "--dsn") {
            options.dsn = QString::fromLocal8Bit(value);
            haveDsn = true;
        } else if (arg == "--uid") {
            options.uid = QString::fromLocal8Bit(value);
        } else if (arg == "--pwd") {
            options.pwd = QString::fromLocal8Bit(value);
        } else if (arg == "--timeout") {
            bool ok = false;
            const qlonglong seconds = QString::fromLocal8Bit(value).toLongLong(&ok);
            if (!ok || seconds < 0 || seconds > std::numeric_limits<int>::max()) {
                status = UsageError(QStringLiteral("--timeout needs a whole number of seconds"));
                return std::nullopt;
            }
            options.timeout = static_cast<int>(seconds);
        } else {
            const std::optional<ResultFormat> format = FormatNamed(value);
            if (!format) {
                status = UsageError(QStringLiteral("--format is tsv, json or count"));
                return std::nullopt;
            }
            options.format = *format;
        }
    }
    if (!haveDsn || options.dsn.isEmpty()) {
        status = UsageError(QStringLiteral("exec needs --dsn NAME"));
        return std::nullopt;
    }
    return options;
}

// Commits what is pending and closes the result, ignoring either failing,
// before each batch as the program does.
void CloseResult(Connection& connection, Recordset& rs) {
    try {
        connection.CommitTrans();
    } catch (const Error&) {
    }
    try {
        rs.Close();
    } catch (const Error&) {
    }
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
    const std::optional<ExecOptions> options = ParseExecOptions(args, status);
    if (!options)
        return status;
    UseUtf8CharacterSet();
    const std::optional<QString> input = ReadStdinUtf8();
    if (!input)
        return kExitFailure;

    Connection connection;
    Command command;
    Recordset rs;
    try {
        // Split first: a text too long fails before anything connects.
        const QStringList batches = SplitBatches(*input);
        connection.setProvider(QStringLiteral("MSDASQL"));
        connection.setConnectionString(
            BuildConnectionString(options->dsn, options->uid, options->pwd));
        connection.Open();
        if (options->timeout)
            command.setCommandTimeout(*options->timeout);
        for (const QString& batch : batches) {
            CloseResult(connection, rs);
            if (batch.isEmpty())
                continue;
            command.setActiveConnection(&connection);
            command.setCommandText(batch);
            rs.Open(command);
        }
    } catch (const Error& e) {
        ReportError(e.description());
        return kExitFailure;
    }
    if (rs.State() == 0)
        return kExitOk;
    return WriteStdoutUtf8(FormatResult(rs, options->format)) ? kExitOk : kExitFailure;
}

} // namespace brindle::cli
