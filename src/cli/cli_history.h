#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli history [--search TEXT] [--dsn NAME] [--failed] [--limit N]
// [--format tsv|json]: the batches the query history keeps, newest first, at
// most N (100 unless given).
// tsv: one line per batch: id, start (local time, ISO 8601), data source,
// duration in ms, rows (empty when not known), outcome and first line,
// separated by tabs, with tab, CR, LF and backslash written \t \r \n \\.
// json: an array of objects with every field, the whole text and the
// driver's description of a failure among them.
// Without a store, a message on stderr and status 1.
int RunHistory(std::span<const std::string_view> args);

} // namespace brindle::cli
