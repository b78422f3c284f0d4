#pragma once

#include "data/column_source.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace brindle::odbc {

// The one table a result's fields all come from, and each field's column.
struct WriteTarget {
    QString catalog;
    QString schema;
    QString table;
    std::vector<QString> columns; // per field, in field order
};

// The table the result can be written back to: every field read straight
// from its own column of one and the same table. Anything else (no fields, an
// expression, a join, a column read twice) gives nothing and says why.
std::optional<WriteTarget> FindWriteTarget(const std::vector<ColumnOrigin>& fields,
                                           QString& reason);

// The fields an UPDATE compares to find its row: the key's fields and the
// changed ones when every key column is among the fields, otherwise every
// field. Sorted, each once.
std::vector<int> WhereFields(const WriteTarget& target, const QStringList& keyColumns,
                             const std::vector<int>& changed);

// An UPDATE of one row with every value a parameter: first the new values of
// setFields, then the original values of whereParameters. A field whose
// original value is NULL is compared with IS NULL and takes no parameter.
struct UpdateStatement {
    QString sql;
    std::vector<int> setFields;
    std::vector<int> whereParameters;
};

// quote is the driver's identifier quote; blank or empty when it has none.
// originalIsNull is indexed by field.
UpdateStatement BuildUpdate(const WriteTarget& target, const QString& quote,
                            const std::vector<int>& changed, const std::vector<int>& whereFields,
                            const std::vector<bool>& originalIsNull);

} // namespace brindle::odbc
