#include "shell/one_malloc_arena.h"

#include <malloc.h>

namespace brindle {

// A batch is fetched on a thread of its own, and the driver allocates every
// value of a large result there in small pieces. A thread's own arena grows a
// page at a time (an mprotect and a fault for each 4 KB), which made F5 of a
// million rows a seventh slower than the same fetch on the main thread. The
// window's threads mostly wait, so sharing the main heap costs them little.
void UseOneMallocArena() {
    mallopt(M_ARENA_MAX, 1);
}

} // namespace brindle
