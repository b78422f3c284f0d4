#include "core/settings_store.h"

#include "core/error.h"

#include <QSettings>
#include <QStandardPaths>

namespace brindle {

namespace {

QString GroupKey(const QString& section, const QString& key) {
    return section + u'/' + key;
}

} // namespace

QString UserConfigDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Brindle");
}

QString SettingsFilePath() {
    return UserConfigDirectory() + QStringLiteral("/Brindle.ini");
}

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    // Every application name maps to the one file of this program; the name
    // is always the application title.
    Q_UNUSED(application);
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    const QVariant value = settings.value(GroupKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with commas reads back as a list; join it again.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    Q_UNUSED(application);
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    settings.setValue(GroupKey(section, key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Error(err::PermissionDenied,
                    QStringLiteral("設定ファイルに書き込めません: ") + SettingsFilePath());
}

} // namespace brindle
