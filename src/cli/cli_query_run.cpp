#include "cli/cli_query_run.h"

#include "cli/cli_history_recording.h"
#include "cli/cli_io.h"
#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/connection_string.h"
#include "data/odbc_locale.h"
#include "data/recordset.h"
#include "data/run_results.h"
#include "data/split_batches.h"

#include <algorithm>
#include <limits>

namespace brindle::cli {

namespace {

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

// The places of the batches that are sent: empty ones never are.
std::vector<BatchPlace> SentBatchPlaces(const QString& query) {
    const QStringList batches = SplitBatches(query);
    const std::vector<BatchPlace> places = SplitBatchPlaces(query);
    std::vector<BatchPlace> sent;
    for (qsizetype i = 0; i < batches.size(); ++i) {
        if (!batches[i].isEmpty())
            sent.push_back(places[static_cast<std::size_t>(i)]);
    }
    return sent;
}

} // namespace

std::optional<QueryOptions> ParseQueryOptions(std::span<const std::string_view> args,
                                              std::span<const std::string_view> extraNames,
                                              const ExtraOption& extra, int& status) {
    QueryOptions options;
    bool haveDsn = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--no-history") {
            options.history = false;
            continue;
        }
        const bool own = arg == "--dsn" || arg == "--uid" || arg == "--pwd" || arg == "--timeout";
        const bool other = std::find(extraNames.begin(), extraNames.end(), arg) != extraNames.end();
        if (i + 1 >= args.size() || (!own && !other)) {
            status = UsageError(u"unexpected argument: " + QString::fromLocal8Bit(arg));
            return std::nullopt;
        }
        const std::string_view value = args[++i];
        if (other) {
            if (!extra(arg, value, status))
                return std::nullopt;
        } else if (arg == "--dsn") {
            options.dsn = QString::fromLocal8Bit(value);
            haveDsn = true;
        } else if (arg == "--uid") {
            options.uid = QString::fromLocal8Bit(value);
        } else if (arg == "--pwd") {
            options.pwd = QString::fromLocal8Bit(value);
        } else {
            bool ok = false;
            const qlonglong seconds = QString::fromLocal8Bit(value).toLongLong(&ok);
            if (!ok || seconds < 0 || seconds > std::numeric_limits<int>::max()) {
                status = UsageError(QStringLiteral("--timeout needs a whole number of seconds"));
                return std::nullopt;
            }
            options.timeout = static_cast<int>(seconds);
        }
    }
    if (!haveDsn || options.dsn.isEmpty()) {
        status = UsageError(QStringLiteral("--dsn NAME is required"));
        return std::nullopt;
    }
    return options;
}

void RunQueryBatches(const QueryOptions& options, const QString& query, Connection& connection,
                     Command& command, Recordset& rs) {
    // Split first: a text too long fails before anything connects.
    const QStringList batches = SplitBatches(query);
    connection.setProvider(QStringLiteral("MSDASQL"));
    connection.setConnectionString(BuildConnectionString(options.dsn, options.uid, options.pwd));
    connection.Open();
    if (options.timeout)
        command.setCommandTimeout(*options.timeout);
    for (const QString& batch : batches) {
        CloseResult(connection, rs);
        if (batch.isEmpty())
            continue;
        command.setActiveConnection(&connection);
        command.setCommandText(batch);
        rs.Open(command);
    }
}

bool RunStdinQuery(const QueryOptions& options, Connection& connection, Command& command,
                   Recordset& rs, RunResults* results) {
    UseUtf8CharacterSet();
    const std::optional<QString> input = ReadStdinUtf8();
    if (!input)
        return false;
    BatchObservers observers;
    bool observed = false;
    std::optional<HistoryRecording> history;
    if (options.history) {
        history.emplace(options.dsn, options.uid);
        observers.Add(&*history);
        observed = true;
    }
    std::optional<RunResultsCollector> collector;
    bool ran = true;
    try {
        if (results) {
            collector.emplace(*results, SentBatchPlaces(*input));
            observers.Add(&*collector);
            observed = true;
            command.setKeepAllResults(true);
        }
        if (observed)
            command.setObserver(&observers);
        RunQueryBatches(options, *input, connection, command, rs);
    } catch (const Error& e) {
        ReportError(e.description());
        ran = false;
    }
    command.setObserver(nullptr);
    if (history)
        history->Flush();
    return ran;
}

} // namespace brindle::cli
