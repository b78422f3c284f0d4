#include "data/recordset.h"

#include "shell/error.h"

#include <QString>

namespace brindle {

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

} // namespace brindle

namespace brindle {

void Recordset::Close() {
    if (!m_open)
        throw Error(3704, QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。"));
    m_open = false;
}

} // namespace brindle
