#pragma once

#include "core/error.h"

namespace brindle {

// The errors the database access objects raise by their own rules, with the
// numbers and texts the callers (and users) know them by.
namespace err {
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int ItemNotFound = 3265;
inline constexpr int ObjectClosed = 3704;
inline constexpr int NoCommandText = 3708;
inline constexpr int ConnectionUnusable = 3709;
inline constexpr int NotUpdatable = 3251;
inline constexpr int RowNotLocated = -2147217864;
inline constexpr int RowNotUnique = -2147217885;
inline constexpr int Cancelled = 3712;
} // namespace err

Error ObjectClosedError();       // 3704: the operation needs an open object
Error ObjectOpenError();         // 3705: the operation needs a closed object
Error NoCurrentRecordError();    // 3021: at BOF or EOF
Error ItemNotFoundError();       // 3265: no field by that name or ordinal
Error ConnectionUnusableError(); // 3709: no open connection behind the command
Error NoCommandTextError();      // 3708: the command has no text
// 3251: the result cannot be written back; reason says why.
Error NotUpdatableError(const QString& reason);
// The write-back of an edited row found no row to change (changed or deleted
// since it was read), or more than one.
Error RowNotLocatedError();
Error RowNotUniqueError();
// 3712: the user stopped the run before the driver could report it.
Error CancelledError();

} // namespace brindle
