#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli csv: every stdin line -> one JSON array of its keyword-table fields.
int RunCsv(std::span<const std::string_view> args);

// brindle-cli colour [--keywords FILE] [--tab N]: editor RTF -> coloured RTF.
int RunColour(std::span<const std::string_view> args);

// brindle-cli arrange [--keywords FILE]: query text -> the arranged query.
int RunArrange(std::span<const std::string_view> args);

} // namespace brindle::cli
