#pragma once

#include <QStringList>
#include <QStringView>

namespace brindle {

// Splits one line of a keyword table into its fields: commas separate
// fields, a field may be quoted to hold commas, nothing else is special.
// Always returns at least one field. More than 32,767 fields fail with an
// overflow Error.
QStringList SplitCsvLine(QStringView line);

} // namespace brindle
