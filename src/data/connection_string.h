#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace brindle {

// One value as it goes into an ODBC connection string. Plain values stay
// exactly as typed; a value the driver manager would otherwise cut or
// misread (one holding ";", "{" or "}", or starting with a blank) is put in
// braces with every "}" doubled, so a password can hold any character and
// can never add a key of its own.
QString ConnectionStringValue(const QString& value);

// "DSN=<dsn>;UID=<uid>;PWD=<pwd>;": every key present even when its value is
// empty, each value as ConnectionStringValue gives it.
QString BuildConnectionString(const QString& dsn, const QString& uid, const QString& pwd);

using ConnectionStringPairs = std::vector<std::pair<QString, QString>>;

// Reads a connection string back by the ODBC rule: "key=value" pairs split
// at ";", a value in braces running to the first "}" that is not doubled.
// Nothing when the string cannot be read.
std::optional<ConnectionStringPairs> ParseConnectionString(const QString& text);

// The value of `key` (any case), or an empty string.
QString ConnectionStringKey(const QString& text, const QString& key);

} // namespace brindle
