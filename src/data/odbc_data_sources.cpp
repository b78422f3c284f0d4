#include "data/odbc_data_sources.h"

#include "data/odbc_check.h"
#include "data/odbc_handles.h"
#include "data/odbc_text.h"

#include <sqlext.h>

#include <algorithm>
#include <exception>
#include <vector>

namespace brindle {

namespace {

void AppendNames(QStringList& names) {
    const odbc::EnvironmentHandle environment = odbc::AllocateEnvironment();
    std::vector<SQLWCHAR> name(1024);
    std::vector<SQLWCHAR> description(1024);
    // A fresh environment starts at the first entry; FIRST says so outright.
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT descriptionLength = 0;
        const SQLRETURN rc = odbc::Check(
            SQLDataSourcesW(environment.get(), direction, name.data(),
                            static_cast<SQLSMALLINT>(name.size()), &nameLength, description.data(),
                            static_cast<SQLSMALLINT>(description.size()), &descriptionLength),
            SQL_HANDLE_ENV, environment.get(), "SQLDataSourcesW");
        if (rc == SQL_NO_DATA)
            return;
        direction = SQL_FETCH_NEXT;
        const qsizetype units = std::clamp<qsizetype>(nameLength, 0, qsizetype(name.size()) - 1);
        const QString entry = odbc::FromSqlWide(name.data(), units);
        if (!entry.trimmed().isEmpty())
            names.append(entry);
    }
}

} // namespace

QStringList DataSourceNames() {
    QStringList names;
    try {
        AppendNames(names);
    } catch (const std::exception&) {
        // The list so far is the answer; the user can still type a name.
    }
    return names;
}

} // namespace brindle
