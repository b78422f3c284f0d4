#pragma once

#include "data/catalog.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace brindle::catalog {

// Asked between rows; true stops the read (what was read so far is returned).
using StopRequested = std::function<bool()>;

// One open connection's catalog. Every call may throw an Error (the
// connection lost, a call the driver refuses).
class CatalogSource {
public:
    virtual ~CatalogSource() = default;
    virtual NameRules Rules() = 0;
    virtual std::vector<Table> Tables(const StopRequested& stop) = 0;
    virtual std::vector<Column> Columns(const Table& table) = 0;
};

// Connects with the connection string; throws the driver's diagnostics.
using CatalogSourceFactory =
    std::function<std::unique_ptr<CatalogSource>(const QString& connectionString)>;

// The catalog read through ODBC on a connection of its own.
std::unique_ptr<CatalogSource> OpenOdbcCatalog(const QString& connectionString);

} // namespace brindle::catalog
