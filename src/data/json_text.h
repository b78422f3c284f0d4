#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

namespace brindle {

namespace odbc {
enum class ColumnKind;
} // namespace odbc

// Appends text as a JSON string: quotes, backslashes and control characters
// escaped, everything else as it is.
void AppendJsonString(QString& out, QStringView text);

// Exact decimal digits as the driver wrote them ("-.5", "12.", "+3") in the
// form JSON allows for a number ("-0.5", "12", "3"); a null string when the
// text is no finite decimal (NaN, Infinity, anything else).
QString JsonDecimal(QStringView digits);

// Appends a value of a field of that kind in its JSON form: NULL is null;
// integers exact, floating numbers shortest round-trip and decimals with
// their exact digits, all as numbers (a value JSON cannot write as a number,
// such as NaN, as a string); binary as a string of lower-case hex; dates,
// times, timestamps and text as strings of their whole value text.
void AppendJsonValue(QString& out, const QVariant& value, odbc::ColumnKind kind);

} // namespace brindle
