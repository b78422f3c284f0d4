#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli dsns: the ODBC data-source names, one per line.
int RunDsns(std::span<const std::string_view> args);

// brindle-cli exec --dsn NAME [--uid U] [--pwd P] [--timeout S]
// [--format tsv|json|count] [--results last|all]: the query on stdin runs as
// batches, as F5 runs them; the last batch's result goes to stdout, or with
// --results all every outcome of every batch as JSON lines. The first failure
// goes to stderr with status 1.
int RunExec(std::span<const std::string_view> args);

} // namespace brindle::cli
