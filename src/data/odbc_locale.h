#pragma once

namespace brindle {

// The driver manager converts text for drivers without wide entry points
// through the C library's character set; in a plain "C" or other non-UTF-8
// environment Japanese text would not survive, so the character set is made
// UTF-8 (the rest of the locale stays). Call once at start-up, after Qt has
// read the locale from the environment.
void UseUtf8CharacterSet();

} // namespace brindle
