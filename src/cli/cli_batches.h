#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli batches: query text on stdin -> its batches as one JSON array.
int RunBatches(std::span<const std::string_view> args);

} // namespace brindle::cli
