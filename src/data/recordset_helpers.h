#pragma once

namespace brindle {

class Recordset;

// Commits a pending transaction on the shared connection and closes the
// result set. Never fails: either step failing (nothing pending, already
// closed) is ignored.
void CloseRecordSet(Recordset& rs);

} // namespace brindle
