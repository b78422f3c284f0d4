#include "data/odbc_exec_direct.h"

#include "data/odbc_text.h"

#include <QByteArray>

#include <sqlext.h>

#include <vector>

namespace brindle::odbc {

SQLRETURN ExecDirect(SQLHSTMT statement, QStringView text, bool wide) {
    if (wide) {
        std::vector<SQLWCHAR> sql = ToSqlWide(text);
        return SQLExecDirectW(statement, sql.data(), SQL_NTS);
    }
    QByteArray sql = text.toUtf8();
    return SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
}

} // namespace brindle::odbc
