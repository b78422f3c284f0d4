#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace brindle {

namespace odbc {
enum class ColumnKind;
} // namespace odbc

// The whole value as the cell editor starts from it: uncut, line breaks kept,
// empty for NULL.
QString CellEditText(const QVariant& value);

// The value typed text stands for in a field of that kind, in the forms the
// grid shows: integers and decimals as digits, dates yyyy-MM-dd, times
// HH:mm[:ss[.zzz]], timestamps both joined by a blank or "T". Blank text is
// NULL, except in a text field, where it is the empty string. Nothing when the
// text is no value of the kind (binary fields take no typed values).
std::optional<QVariant> ParseCellInput(const QString& text, odbc::ColumnKind kind);

} // namespace brindle
