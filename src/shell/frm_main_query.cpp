#include "shell/frm_main.h"

namespace brindle {

void frmMain::mnuQryExec_Click() {}

bool frmMain::ExecBatches() {
    return false;
}

} // namespace brindle
