#include "core/app_info.h"

namespace brindle {

QString VersionText() {
    return QStringLiteral("Version ") + QString::number(VersionMajor) + u'.' +
           QString::number(VersionMinor) + u'.' + QString::number(VersionRevision);
}

} // namespace brindle
