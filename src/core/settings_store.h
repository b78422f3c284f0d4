#pragma once

#include <QString>

namespace brindle {

// The per-user settings store: string values addressed by application,
// section and key. Kept as an INI file, Brindle/Brindle.ini under the user's
// configuration directory ($XDG_CONFIG_HOME, or ~/.config), one INI group per
// section. The directory is looked up on every call, so a changed
// XDG_CONFIG_HOME takes effect at once.
QString SettingsFilePath();

// The program's own directory under the user's configuration directory,
// where the settings file and the user's own keyword files live:
// $XDG_CONFIG_HOME/Brindle, or ~/.config/Brindle. Looked up on every call.
QString UserConfigDirectory();

// Returns `defaultValue` when the key does not exist or the file cannot be
// read. Never throws.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue);

// Creates section and key as needed and replaces the old value. Throws an
// Error when the file cannot be written; callers that ignore write failures
// catch it.
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);

} // namespace brindle
