#include "data/odbc_session.h"

#include "data/odbc_check.h"
#include "data/odbc_driver_width.h"
#include "data/odbc_info.h"
#include "data/odbc_text.h"

#include <sqlext.h>

#include <vector>

namespace brindle::odbc {

namespace {

QString DbmsName(SQLHDBC dbc) {
    SQLRETURN rc = SQL_SUCCESS;
    QString name = InfoText(dbc, SQL_DBMS_NAME, &rc);
    Check(rc, SQL_HANDLE_DBC, dbc, "SQLGetInfoW(SQL_DBMS_NAME)");
    return name;
}

// Optional information: a driver that cannot say gets the cautious answer.
GetDataSupport ReadGetDataSupport(SQLHDBC dbc) {
    SQLUINTEGER bits = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(dbc, SQL_GETDATA_EXTENSIONS, &bits, sizeof bits, nullptr)))
        return {};
    return {(bits & SQL_GD_ANY_COLUMN) != 0, (bits & SQL_GD_ANY_ORDER) != 0,
            (bits & SQL_GD_BOUND) != 0, (bits & SQL_GD_BLOCK) != 0};
}

bool ReadSetPosSupported(SQLHDBC dbc) {
    SQLUSMALLINT exists = SQL_FALSE;
    return SQL_SUCCEEDED(SQLGetFunctions(dbc, SQL_API_SQLSETPOS, &exists)) && exists == SQL_TRUE;
}

bool StaticCursorScrollsAbsolute(SQLHDBC dbc) {
    SQLUINTEGER bits = 0;
    return SQL_SUCCEEDED(
               SQLGetInfoW(dbc, SQL_STATIC_CURSOR_ATTRIBUTES1, &bits, sizeof bits, nullptr)) &&
           (bits & SQL_CA1_ABSOLUTE) != 0;
}

} // namespace

Session::Session(const QString& connectionString)
    : m_environment(AllocateEnvironment()), m_connection(AllocateConnection(m_environment)) {
    const SQLHDBC dbc = m_connection.get();
    std::vector<SQLWCHAR> text = ToSqlWide(connectionString);
    std::vector<SQLWCHAR> completed(1024);
    SQLSMALLINT completedLength = 0;
    Check(SQLDriverConnectW(dbc, nullptr, text.data(), SQL_NTS, completed.data(),
                            static_cast<SQLSMALLINT>(completed.size()), &completedLength,
                            SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, dbc, "SQLDriverConnectW");
    m_connection.markConnected();
    m_dbmsName = DbmsName(dbc);
    m_quirks = QuirksOfDriver(InfoText(dbc, SQL_DRIVER_NAME));
    m_getData = ReadGetDataSupport(dbc);
    if (m_quirks.getDataIgnoresPosition)
        m_getData.block = false;
    m_setPos = ReadSetPosSupported(dbc);
    const GetDataSupport& gd = m_getData;
    m_rereadByScrolling = !(gd.block && m_setPos) && gd.anyColumn && gd.anyOrder && gd.bound &&
                          StaticCursorScrollsAbsolute(dbc);
    m_wideText = DriverHasWideFunctions(dbc);
}

void Session::commit() {
    Check(SQLEndTran(SQL_HANDLE_DBC, m_connection.get(), SQL_COMMIT), SQL_HANDLE_DBC,
          m_connection.get(), "SQLEndTran");
}

void Session::disconnect() {
    m_connection.disconnect();
}

} // namespace brindle::odbc
