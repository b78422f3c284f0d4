#pragma once

#include <QString>

namespace brindle {

// The application title: main window caption, settings application name and
// the caption of the keyword-table error boxes.
inline QString AppTitle() {
    return QStringLiteral("Brindle");
}

inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 3;
inline constexpr int VersionRevision = 0;

// "Version 1.3.0"
QString VersionText();

} // namespace brindle
