#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli recovery list: one line per kept query document, the most
// recently changed first: id, open or closed, last change (local time),
// caption and first line, separated by tabs.
// brindle-cli recovery show ID: that document's whole text, UTF-8.
// Without a store, or for an unknown id, a message on stderr and status 1.
int RunRecovery(std::span<const std::string_view> args);

} // namespace brindle::cli
