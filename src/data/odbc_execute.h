#pragma once

#include "data/odbc_result_table.h"
#include "data/odbc_run_control.h"
#include "data/odbc_session.h"

#include <QString>

#include <memory>

namespace brindle::odbc {

// Runs one batch on the session with the time-out in whole seconds (0: no
// limit). The first result that has columns is fetched whole and returned;
// results without columns before it are passed over. The results after it
// are still walked so that a later statement's failure is reported, not
// lost. Returns null when no result has columns. Throws an Error with the
// diagnostics on any failure. With a control, the statement can be cancelled
// from another thread and the rows fetched are counted there; a cancelled run
// fails with the driver's report or CancelledError.
std::unique_ptr<ResultTable> ExecuteBatch(const Session& session, const QString& text,
                                          int timeoutSeconds, RunControl* control = nullptr);

} // namespace brindle::odbc
