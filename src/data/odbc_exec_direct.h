#pragma once

#include <QStringView>

#include <sql.h>

namespace brindle::odbc {

// Sends a statement's text in the width the driver handles itself: UTF-16 to
// a driver with W functions, UTF-8 (the character set start-up chose) to one
// without. unixODBC would hand wide text to such a driver through UCS-2,
// turning every character beyond the BMP into a question mark. Returns the
// driver's answer unchecked.
SQLRETURN ExecDirect(SQLHSTMT statement, QStringView text, bool wide);

} // namespace brindle::odbc
