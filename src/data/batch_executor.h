#pragma once

#include <QString>

#include <memory>

namespace brindle {

namespace odbc {
class ResultTable;
class Session;
struct BatchFacts;
} // namespace odbc

// How a command's batch is run: the window runs it away from its own thread,
// so that it keeps painting and can stop the batch.
class BatchExecutor {
public:
    virtual ~BatchExecutor() = default;
    // What odbc::ExecuteBatch returns, throws and tells in `facts` for the
    // same arguments.
    virtual std::shared_ptr<const odbc::ResultTable> Execute(const odbc::Session& session,
                                                             const QString& text,
                                                             int timeoutSeconds,
                                                             odbc::BatchFacts* facts) = 0;
};

} // namespace brindle
