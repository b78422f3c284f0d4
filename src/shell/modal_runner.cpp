#include "shell/modal_runner.h"

#include <QDialog>

namespace brindle {

int ExecModalRunner::Run(QDialog& dialog) {
    return dialog.exec();
}

ModalRunner& DefaultModalRunner() {
    static ExecModalRunner runner;
    return runner;
}

} // namespace brindle
