#pragma once

#include <QString>
#include <QVariant>

namespace brindle {

namespace odbc {
enum class ColumnKind;
} // namespace odbc

// A spreadsheet cell holds at most this many characters.
inline constexpr qsizetype SheetCellTextLimit = 32767;

// How the export writes one value of a field of that kind into a
// text-formatted cell: integers as
// they are; floating numbers and decimals without exponent or trailing zeros;
// dates yyyy-MM-dd, times HH:mm:ss, timestamps yyyy-MM-dd HH:mm:ss (with
// milliseconds only when there are any); text unchanged; binary as 0x and
// upper-case hex. NULL gives an empty string. A text longer than a cell holds
// is cut at SheetCellTextLimit, never inside a surrogate pair.
QString ExportCellText(const QVariant& value, odbc::ColumnKind kind);

// "A1" notation of a cell; row and column from 1.
QString CellAddress(int row, int column);

} // namespace brindle
