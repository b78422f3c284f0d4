#pragma once

#include "data/odbc_result_table.h"
#include "data/odbc_run_control.h"
#include "data/odbc_session.h"

#include <sql.h>

namespace brindle::odbc {

// Rows asked for per SQLFetch when the driver can deliver blocks.
inline constexpr SQLULEN kBlockRows = 1000;

// Fetches every row of the statement's current result (which has columns)
// into memory. Columns of known, short size are bound into block buffers;
// long ones, and bound values that did not fit, are read whole with
// SQLGetData. Throws the driver's diagnostics; the statement's bindings and
// block attributes are reset afterwards either way. A control (may be null)
// is told the rows read after each block and stops the fetch once cancelled.
ResultTable FetchAll(SQLHSTMT statement, const Session& session, RunControl* control = nullptr);

} // namespace brindle::odbc
