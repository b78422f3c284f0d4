#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

namespace brindle {

namespace odbc {
enum class ColumnKind;
} // namespace odbc

// How the result grid writes one value of a result set as a single line.
//
// Text longer than GridTextLimit UTF-16 units and binary values longer than
// GridBytesLimit bytes are cut and end in "…": a cell cannot show more, and
// painting stays fast with huge values. Line breaks and tabs become spaces.
inline constexpr qsizetype GridTextLimit = 1000;
inline constexpr qsizetype GridBytesLimit = 256;

// The whole of a value, for the tool tip of a cell that cannot show all of
// it: text with its own line breaks, up to GridToolTipLimit UTF-16 units and
// GridToolTipLines lines, binary up to GridToolTipBytes bytes (more ends in
// "…"); other kinds as the cell writes them.
inline constexpr qsizetype GridToolTipLimit = 4000;
inline constexpr qsizetype GridToolTipLines = 40;
inline constexpr qsizetype GridToolTipBytes = 1024;

// What a NULL shows, so that it differs from an empty string.
QString GridNullText();

// The text of a value: dates yyyy-MM-dd, times HH:mm:ss, timestamps
// yyyy-MM-dd HH:mm:ss as stored (milliseconds only when there are any),
// binary as 0x and upper-case hex. A null value gives GridNullText().
QString GridCellText(const QVariant& value);
QString GridToolTipText(const QVariant& value);

// Dates yyyy-MM-dd; times HH:mm:ss, with milliseconds only when there are
// any; timestamps (kept in UTC: the stored wall-clock value) both joined by a
// blank. Shared by every place that writes a value as text.
QString DateText(QDate date);
QString TimeText(QTime time);
QString TimestampText(const QDateTime& stamp);

// Integers, floating numbers and decimals line up on the right.
bool IsNumericKind(odbc::ColumnKind kind);

} // namespace brindle
