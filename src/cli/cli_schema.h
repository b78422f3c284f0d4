#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli schema --dsn NAME [--uid U] [--pwd P] [--table PATTERN]
// [--format tsv|json]: the data source's tables and views, one row per
// column (schema, table, kind, column, type, size, nullable, key).
int RunSchema(std::span<const std::string_view> args);

} // namespace brindle::cli
