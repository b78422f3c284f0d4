#pragma once

#include "core/error.h"

namespace brindle {

// Error numbers of the keyword-file failures that the shared list lacks.
namespace err {
inline constexpr int InvalidCall = 5;
inline constexpr int InternalError = 51;
inline constexpr int DeviceIoError = 57;
inline constexpr int InputPastEnd = 62;
} // namespace err

// The keyword file's failures, with the program's own Japanese descriptions.
Error FileNotFoundError();
Error PathNotFoundError();
Error AccessDeniedError();
Error DeviceIoError();
Error InputPastEndError();
Error DecoderMissingError();
Error InternalError();

} // namespace brindle
