#pragma once

namespace brindle {

// The stored and default editor font "ＭＳ ゴシック" does not exist on Linux;
// map it (and its usual spellings) to the installed Japanese fonts, then to
// monospace, so it renders with a real Japanese font.
void RegisterFontSubstitutes();

} // namespace brindle
