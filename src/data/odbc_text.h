#pragma once

#include <QString>

#include <sql.h>

#include <vector>

namespace brindle::odbc {

// unixODBC's SQLWCHAR is UTF-16, one unit per QChar, so text crosses the W
// entry points unchanged whatever code page the driver uses for narrow text.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be UTF-16");

// A NUL-terminated copy of the text for the W entry points.
std::vector<SQLWCHAR> ToSqlWide(QStringView text);

// Text of at most length units (length < 0: no limit), ending early at a NUL.
// For names and messages: unixODBC reports their length for drivers without
// W entry points in bytes of the narrow text, which can exceed the units.
QString FromSqlWide(const SQLWCHAR* text, qsizetype length);

// The UTF-16 units of a value the driver wrote into bytes (at most room
// units, its terminator not counted): the length the driver gave, or, when
// its lengths are not to be trusted, up to the terminator if that is further.
qsizetype WideValueUnits(const void* bytes, SQLLEN lengthBytes, qsizetype room,
                         bool untrustedLength);

} // namespace brindle::odbc
