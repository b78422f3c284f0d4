#pragma once

#include "shell/error_box_sink.h"

namespace brindle {

class MessageBoxService;

// The keyword tables' error box: error icon, the application title as
// caption, "number:description" as text.
class MessageBoxErrorSink final : public ErrorBoxSink {
public:
    explicit MessageBoxErrorSink(MessageBoxService& boxes) : m_boxes(boxes) {}
    void ShowErrMsg(const Error& error) override;

private:
    MessageBoxService& m_boxes;
};

} // namespace brindle
