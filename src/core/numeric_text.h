#pragma once

#include <QString>
#include <QStringView>

namespace brindle {

// True for a decimal number with optional blanks around it, an optional sign,
// digits with an optional decimal point and an optional exponent.
bool IsNumericText(QStringView text);

// Converts numeric text to a 32-bit whole number, a half going to the even
// neighbour (9.75 -> 10, 10.5 -> 10, 11.5 -> 12). Throws a type-mismatch
// Error for text that is not numeric and an overflow Error outside 32 bits.
qint32 ToWholeNumber(QStringView text);

// The numeric settings rule: the whole number when the text is numeric,
// otherwise `fallback`. Overflow still throws.
qint32 WholeNumberOr(QStringView text, qint32 fallback);

// Boolean texts of the settings store: "True" / "False" are written; reading
// accepts True/False in any case and numbers (non-zero is True); anything else
// reads as False so a damaged file never stops a document from opening.
QString BoolText(bool value);
bool BoolFromText(QStringView text);

// A twips value as the text of a single-precision number ("1234", "1234.5").
QString SingleText(double value);

} // namespace brindle
