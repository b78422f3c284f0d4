#pragma once

#include <QString>

#include <memory>

namespace brindle {

namespace odbc {
class ResultTable;
}

// One thing a batch gave back, in the order the driver gave it.
struct BatchOutcome {
    enum class Kind {
        Rows,    // a result with columns: `table`
        Updated, // a statement's row count: `count`
        Message, // an informational message of the driver: `text`
    };
    Kind kind = Kind::Rows;
    std::shared_ptr<const odbc::ResultTable> table;
    qint64 count = 0;
    QString text;
};

} // namespace brindle
