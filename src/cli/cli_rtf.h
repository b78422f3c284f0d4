#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli rtf: plain text on stdin -> the editor control's RTF on stdout.
int RunRtf(std::span<const std::string_view> args);

// brindle-cli text: RTF on stdin -> the text the editor shows, CR LF line ends.
int RunText(std::span<const std::string_view> args);

} // namespace brindle::cli
