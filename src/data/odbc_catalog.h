#pragma once

#include "data/catalog.h"
#include "data/catalog_source.h"

#include <functional>
#include <vector>

namespace brindle::odbc {

class Session;

using catalog::StopRequested;

// Reads what the driver says about names; a piece the driver cannot give
// stays empty.
catalog::NameRules ReadNameRules(const Session& session);

// The tables and views of the connection's data source (the current
// database where the driver has catalogs), in the driver's order. Throws the
// diagnostics when the driver refuses.
std::vector<catalog::Table> ReadTables(const Session& session, const StopRequested& stop = {});

// The columns of one table in their order, with the primary key's columns
// marked (when the driver offers primary keys; without them none is).
std::vector<catalog::Column> ReadColumns(const Session& session, const catalog::NameRules& rules,
                                         const catalog::Table& table);

} // namespace brindle::odbc
