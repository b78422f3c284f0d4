#pragma once

#include "data/column_source.h"
#include "data/odbc_column_values.h"
#include "data/write_back_plan.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace brindle::odbc {

class Session;

// The driver's identifier quote character; a blank when it has none.
QString IdentifierQuote(const Session& session);

// The table's primary key columns in key order; empty when it has none or the
// driver cannot say.
QStringList PrimaryKeyColumns(const Session& session, const WriteTarget& target);

// Whether the table has every column the target names, as the driver's
// catalog reports them: a driver that reports an alias as a base column, or a
// table it cannot find, fails this.
bool TableHasColumns(const Session& session, const WriteTarget& target);

// One value bound to a parameter, with the kind it has and the source column
// whose SQL type it is sent as.
struct UpdateParameter {
    QVariant value; // null for NULL
    ColumnKind kind = ColumnKind::Text;
    ColumnSource source;
};

// Runs the UPDATE in a transaction of its own and keeps it only when it
// changed exactly one row. No row: RowNotLocatedError; more than one:
// RowNotUniqueError; both rolled back. Autocommit is on again afterwards.
void ExecuteSingleRowUpdate(const Session& session, const QString& sql,
                            const std::vector<UpdateParameter>& parameters);

} // namespace brindle::odbc
