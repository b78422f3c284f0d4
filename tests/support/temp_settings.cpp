#include "support/temp_settings.h"

#include "core/settings_store.h"

#include <QFile>

namespace brindle::test {

TempSettings::TempSettings() : m_previous(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

TempSettings::~TempSettings() {
    qputenv("XDG_CONFIG_HOME", m_previous);
}

QString TempSettings::FileText() const {
    QFile file(SettingsFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace brindle::test
