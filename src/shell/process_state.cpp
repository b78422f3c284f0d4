#include "shell/process_state.h"

#include "data/command.h"
#include "data/connection.h"
#include "core/error.h"

#include <limits>

namespace brindle {

std::unique_ptr<Connection> gcnDB;
std::unique_ptr<Command> gcmdDB;
QString gstrDSN;
qint16 gintDocCount = 0;
QString gstrSearchWord;
bool gblnUpperConv = false;
clsMsg gMsg;
MinTrackSize gptMinTrack;
QPointer<QWidget> glngMainHwnd;

void IncrementDocCount() {
    if (gintDocCount == std::numeric_limits<qint16>::max())
        throw OverflowError();
    ++gintDocCount;
}

void DecrementDocCount() {
    if (gintDocCount > std::numeric_limits<qint16>::min())
        --gintDocCount;
    if (gintDocCount < 0)
        gintDocCount = 0;
}

} // namespace brindle
