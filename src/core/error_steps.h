#pragma once

#include "core/error.h"

namespace brindle {

// Runs one step of a procedure that carries on past its failing steps: an
// Error from the step is dropped and the caller goes on with the next one.
template <typename F> void Step(F&& step) {
    try {
        step();
    } catch (const Error&) {
    }
}

} // namespace brindle
