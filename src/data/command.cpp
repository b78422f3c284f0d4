#include "data/command.h"

#include "core/error.h"

namespace brindle {

void Command::setCommandTimeout(int seconds) {
    if (seconds < 0)
        throw Error(err::ArgumentsWrongType,
                    QStringLiteral("引数が間違った型、許容範囲外、または競合しています。"));
    m_timeout = seconds;
}

} // namespace brindle
