#include "data/odbc_driver_width.h"

#include <sqlext.h>

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <string_view>

namespace brindle::odbc {

namespace {

struct LibrarySearch {
    std::string_view driverFile; // as the driver names itself, e.g. sqlite3odbc.so
    std::string path;
};

std::string_view BaseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Drivers name their file with or without the "lib" of the installed name.
int FindDriverLibrary(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<LibrarySearch*>(data);
    if (!info->dlpi_name)
        return 0;
    const std::string_view base = BaseName(info->dlpi_name);
    if (base == search->driverFile ||
        (base.starts_with("lib") && base.substr(3) == search->driverFile)) {
        search->path = info->dlpi_name;
        return 1;
    }
    return 0;
}

} // namespace

bool DriverHasWideFunctions(SQLHDBC dbc) {
    char file[512] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_DRIVER_NAME, file, sizeof file, &length)) || !file[0])
        return true;
    LibrarySearch search{BaseName(file), {}};
    if (search.driverFile.empty() || dl_iterate_phdr(FindDriverLibrary, &search) == 0)
        return true;
    // Already loaded by the driver manager: this only finds it, loads nothing.
    void* library = dlopen(search.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return true;
    const bool wide = dlsym(library, "SQLDriverConnectW") != nullptr;
    dlclose(library);
    return wide;
}

} // namespace brindle::odbc
