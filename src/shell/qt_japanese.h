#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

namespace brindle {

// Puts Qt's own texts (file and font dialogs, standard buttons, context
// menus) into Japanese, whatever the system's locale, from the catalogue
// qtbase_ja in `directory` (Qt's translations directory when empty). Returns
// the installed translator, owned by `app`, or nothing when the catalogue is
// missing or unreadable: Qt then speaks English and nothing is reported.
QTranslator* InstallQtJapanese(QCoreApplication& app, const QString& directory = QString());

} // namespace brindle
