#pragma once

namespace brindle {

// Starts the program again, once, with the C library's allocator asked to
// put its memory in huge pages, unless the environment already says how.
// Returns when that is not possible; the program then goes on as it is.
void StartWithHugePageHeap(char* argv[]);

} // namespace brindle
