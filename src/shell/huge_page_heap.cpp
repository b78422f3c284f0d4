#include "shell/huge_page_heap.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace brindle {

// Opening a long script allocates hundreds of megabytes in small pieces, and
// where the system gives huge pages only to memory that asks for them, the
// faults of first touching 4 KB pages are a third of the time the window is
// busy. The allocator reads this setting only as the process starts.
void StartWithHugePageHeap(char* argv[]) {
    constexpr char kName[] = "GLIBC_TUNABLES";
    constexpr char kSetting[] = "glibc.malloc.hugetlb";
    const char* tunables = std::getenv(kName);
    if (tunables && std::strstr(tunables, kSetting))
        return;
    std::string value = std::string(kSetting) + "=1";
    if (tunables && *tunables)
        value = std::string(tunables) + ":" + value;
    if (setenv(kName, value.c_str(), 1) != 0)
        return;
    execv("/proc/self/exe", argv);
}

} // namespace brindle
