#include "shell/message_error_sink.h"

#include "core/app_info.h"
#include "shell/message_box_service.h"

namespace brindle {

void MessageBoxErrorSink::ShowErrMsg(const Error& error) {
    m_boxes.Show({AppTitle(), error.numbered(), MsgIcon::Critical, MsgButtons::Ok, 1, 16});
}

} // namespace brindle
