#include "shell/frm_main.h"

#include "data/connection.h"
#include "shell/error.h"
#include "shell/process_state.h"

#include <QComboBox>

namespace brindle {

void frmMain::SetCboTable() {
    try {
        if (gcnDB->DbmsName() != QStringLiteral("Microsoft SQL Server")) {
            m_cboTable->setVisible(false);
            return;
        }
        m_cboTable->setVisible(true);
        m_cboTable->clear();
    } catch (const Error&) {
    }
}

void frmMain::cboTable_Click() {}

void frmMain::tlbGrid_ButtonClick(const QString& key) {
    Q_UNUSED(key);
}

} // namespace brindle
