#include "data/connection.h"

#include "shell/error.h"

namespace brindle {

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::CommitTrans() {
    if (!m_open)
        throw Error(3704, QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。"));
}

} // namespace brindle
