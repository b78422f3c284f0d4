#include "support/test_services.h"

#include <QDialog>

namespace brindle::test {

int RecordingMessageBoxes::Show(const MessageBoxRequest& request) {
    shown.push_back(request);
    return answer;
}

int ScriptedModalRunner::Run(QDialog& dialog) {
    titles.push_back(dialog.windowTitle());
    return script ? script(dialog) : static_cast<int>(QDialog::Rejected);
}

} // namespace brindle::test
