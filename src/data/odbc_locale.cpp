#include "data/odbc_locale.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace brindle {

void UseUtf8CharacterSet() {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset && std::strcmp(codeset, "UTF-8") == 0)
        return;
    // C.UTF-8 exists on every Debian system; when it does not, nothing changes.
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

} // namespace brindle
