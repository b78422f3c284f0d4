#pragma once

#include <QStringList>

namespace brindle {

// The names of the user and system data sources, in the driver manager's
// order, without blank names. Never throws: when the driver manager fails
// part-way the names read so far are returned (possibly none).
QStringList DataSourceNames();

} // namespace brindle
