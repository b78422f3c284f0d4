#include "data/recordset_helpers.h"

#include "data/connection.h"
#include "data/recordset.h"
#include "shell/error.h"
#include "shell/process_state.h"

namespace brindle {

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
