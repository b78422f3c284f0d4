#pragma once

#include <QString>

namespace brindle {

class Recordset;
class clsMsg;

// Closes the result set and runs one batch into it through the shared command
// on the shared connection; true on success. An empty batch sends nothing and
// leaves the result set closed (true). When pending edits keep the result set
// open (3705) and this is not already the retry, the edits are cancelled and
// the batch is tried once more. Any other failure is shown once in the error
// box of `msg`, and the result is false.
bool OpenRecordSet(const QString& vstrBatch, Recordset& rs, bool vblnRetried, const clsMsg& msg);

// Commits a pending transaction on the shared connection and closes the
// result set. Never fails: either step failing (nothing pending, already
// closed) is ignored.
void CloseRecordSet(Recordset& rs);

} // namespace brindle
