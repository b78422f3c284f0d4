#pragma once

#include "data/batch_outcome.h"
#include "data/odbc_result_table.h"
#include "data/odbc_run_control.h"
#include "data/odbc_session.h"

#include <QString>

#include <memory>
#include <vector>

namespace brindle::odbc {

// What a batch tells beyond its result, for those who keep a record of it.
struct BatchFacts {
    // Asked by the caller: keep everything the batch gives back in `outcomes`.
    bool keepAll = false;
    // Rows the batch's statements changed, summed, when it returned no result
    // with columns; -1 when it did or the driver does not say.
    qint64 rowsChanged = -1;
    // The run was cancelled while this batch was on its way, whatever the
    // driver then reported.
    bool cancelled = false;
    // False for a batch refused because its run had been cancelled before.
    bool sent = true;
    // Milliseconds the batch took on the thread that ran it, until its
    // results were fetched or it failed; -1 when it was not run.
    qint64 elapsedMs = -1;
    // With `keepAll`: every result with columns, row count and informational
    // message, in the driver's order; what came before a failure stays.
    std::vector<BatchOutcome> outcomes;
};

// Runs one batch on the session with the time-out in whole seconds (0: no
// limit). The first result that has columns is fetched whole and returned;
// results without columns before it are passed over. The results after it
// are still walked so that a later statement's failure is reported, not
// lost. Returns null when no result has columns. Throws an Error with the
// diagnostics on any failure. With a control, the statement can be cancelled
// from another thread and the rows fetched are counted there; a cancelled run
// fails with the driver's report or CancelledError. With `facts`, the rows
// changed are counted there, and with its `keepAll` every result is fetched
// and kept (the returned one among them).
std::shared_ptr<const ResultTable> ExecuteBatch(const Session& session, const QString& text,
                                                int timeoutSeconds, RunControl* control = nullptr,
                                                BatchFacts* facts = nullptr);

} // namespace brindle::odbc
