#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace brindle {
class Connection;
class Command;
class Recordset;
class RunResults;
} // namespace brindle

namespace brindle::cli {

// The connection options that exec and export share.
struct QueryOptions {
    QString dsn;
    QString uid;
    QString pwd;
    std::optional<int> timeout;
    bool history = true; // the batches recorded in the query history
};

// Takes an option of the subcommand's own (name and value); returns false
// with `status` set when the value is wrong.
using ExtraOption = std::function<bool(std::string_view name, std::string_view value, int& status)>;

// Parses --dsn/--uid/--pwd/--timeout, --no-history and the options
// `extraNames` lists (handed to `extra`); --dsn is required. On a mistake
// returns nothing with the usage status in `status`.
std::optional<QueryOptions> ParseQueryOptions(std::span<const std::string_view> args,
                                              std::span<const std::string_view> extraNames,
                                              const ExtraOption& extra, int& status);

// Connects and runs the query as batches split at GO lines, as F5 runs them:
// each batch closes the previous result first. The last batch's result stays
// in `rs`. Throws Error on the first failure.
void RunQueryBatches(const QueryOptions& options, const QString& query, Connection& connection,
                     Command& command, Recordset& rs);

// Reads the query from stdin (UTF-8) and runs it as RunQueryBatches does,
// each batch that ran recorded in the query history unless the options say
// not to (and written before it returns). A failure is reported on stderr
// and gives false. With `results`, every result, row count and message of
// every batch that ran is kept there, a failing batch's error included.
bool RunStdinQuery(const QueryOptions& options, Connection& connection, Command& command,
                   Recordset& rs, RunResults* results = nullptr);

} // namespace brindle::cli
