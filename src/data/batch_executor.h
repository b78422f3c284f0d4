#pragma once

#include <QString>

#include <memory>

namespace brindle {

namespace odbc {
class ResultTable;
class Session;
} // namespace odbc

// How a command's batch is run: the window runs it away from its own thread,
// so that it keeps painting and can stop the batch.
class BatchExecutor {
public:
    virtual ~BatchExecutor() = default;
    // What odbc::ExecuteBatch returns and throws for the same arguments.
    virtual std::unique_ptr<odbc::ResultTable> Execute(const odbc::Session& session,
                                                       const QString& text, int timeoutSeconds) = 0;
};

} // namespace brindle
