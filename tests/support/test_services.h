#pragma once

#include "shell/message_box_service.h"
#include "shell/modal_runner.h"
#include "shell/services.h"

#include <QString>

#include <functional>
#include <vector>

namespace brindle::test {

// Records every box and answers with a fixed button.
class RecordingMessageBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override;
    std::vector<MessageBoxRequest> shown;
    int answer = MsgResultOk;
};

// Records the dialogs it is asked to run and lets a test act on each one
// instead of blocking; without a script every dialog is cancelled.
class ScriptedModalRunner final : public ModalRunner {
public:
    int Run(QDialog& dialog) override;
    std::vector<QString> titles;
    std::function<int(QDialog&)> script;
};

// The doubles bundled as the windows take them.
struct TestServices {
    RecordingMessageBoxes messages;
    ScriptedModalRunner modal;
    Services services() { return Services{&messages, &modal}; }
};

} // namespace brindle::test
