#pragma once

namespace brindle {

// Has every thread allocate from the C library's one main heap. Called first
// thing, before any thread starts.
void UseOneMallocArena();

} // namespace brindle
