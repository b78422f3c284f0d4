#pragma once

#include <QString>

namespace brindle::cli {

// Appends text as a JSON string: quotes, backslashes and control characters
// escaped, everything else as it is.
void AppendJsonString(QString& out, const QString& text);

// Exact decimal digits as the driver wrote them ("-.5", "12.", "+3") in the
// form JSON allows for a number ("-0.5", "12", "3"); a null string when the
// text is no finite decimal (NaN, Infinity, anything else).
QString JsonDecimal(const QString& digits);

} // namespace brindle::cli
