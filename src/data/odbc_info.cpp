#include "data/odbc_info.h"

#include "data/odbc_text.h"

#include <sqlext.h>

#include <vector>

namespace brindle::odbc {

QString InfoText(SQLHDBC dbc, SQLUSMALLINT item, SQLRETURN* rc) {
    std::vector<SQLWCHAR> text(1024);
    SQLSMALLINT bytes = 0;
    const auto room = [&text] {
        return static_cast<SQLSMALLINT>(text.size() * sizeof(SQLWCHAR));
    };
    SQLRETURN answer = SQLGetInfoW(dbc, item, text.data(), room(), &bytes);
    if (SQL_SUCCEEDED(answer) && answer == SQL_SUCCESS_WITH_INFO && bytes >= room()) {
        text.resize(static_cast<std::size_t>(bytes) / sizeof(SQLWCHAR) + 1);
        answer = SQLGetInfoW(dbc, item, text.data(), room(), &bytes);
    }
    if (rc)
        *rc = answer;
    if (!SQL_SUCCEEDED(answer))
        return {};
    const qsizetype units = qMin<qsizetype>(bytes / qsizetype(sizeof(SQLWCHAR)),
                                            static_cast<qsizetype>(text.size()) - 1);
    return FromSqlWide(text.data(), units);
}

} // namespace brindle::odbc
