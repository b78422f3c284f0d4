#include "support/temp_settings.h"

#include "core/settings_store.h"

#include <QFile>

namespace brindle::test {

QString TempSettings::FileText() const {
    QFile file(SettingsFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace brindle::test
