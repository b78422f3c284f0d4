#pragma once

#include "data/catalog.h"

#include <QString>

namespace brindle::catalog {

// Whether the name must be quoted to reach the object it names: it is not a
// plain identifier (blanks, characters other than letters, digits and "_",
// a leading digit), it has letters the database would fold to the other
// case, or it is a reserved word (ODBC's list or the driver's own).
bool NeedsQuoting(const QString& name, const NameRules& rules);

// The name as it goes into SQL: as it is, or in the driver's quote
// characters with any quote inside doubled. A name that needs quoting where
// the driver has no quote character goes in as it is.
QString QuotedName(const QString& name, const NameRules& rules);

// The table's name as it goes after FROM: its schema (or catalog, where the
// driver has no schemas) first when it has one and it is not the only group.
QString QualifiedName(const Table& table, const NameRules& rules, bool withGroup);

} // namespace brindle::catalog
