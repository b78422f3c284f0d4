#include "data/recordset_helpers.h"

#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "shell/cls_msg.h"
#include "core/error.h"
#include "shell/process_state.h"

namespace brindle {

bool OpenRecordSet(const QString& vstrBatch, Recordset& rs, bool vblnRetried, const clsMsg& msg) {
    try {
        CloseRecordSet(rs);
        if (vstrBatch.isEmpty())
            return true;
        gcmdDB->setActiveConnection(gcnDB.get());
        gcmdDB->setCommandText(vstrBatch);
        // The result set keeps its rows on the client, keyset-like, with
        // optimistic edits: the fixed settings of every batch.
        rs.Open(*gcmdDB);
        return true;
    } catch (const Error& e) {
        if (e.number() != err::ObjectOpen || vblnRetried) {
            msg.ShowError(e.description());
            return false;
        }
    }
    try {
        rs.CancelUpdate();
    } catch (const Error& e) {
        msg.ShowError(e.description());
        return false;
    }
    return OpenRecordSet(vstrBatch, rs, true, msg);
}

void CloseRecordSet(Recordset& rs) {
    try {
        if (gcnDB)
            gcnDB->CommitTrans();
    } catch (const Error&) {
    }
    try {
        rs.Close();
    } catch (const Error&) {
    }
}

} // namespace brindle
