#pragma once

#include "core/error.h"

namespace brindle {

// Where the keyword-table classes report their failures: one box with the
// error icon, the application title as caption and "number:description" as
// text. Logic code only sees this interface; the window supplies the box.
class ErrorBoxSink {
public:
    virtual ~ErrorBoxSink() = default;
    virtual void ShowErrMsg(const Error& error) = 0;
};

} // namespace brindle
