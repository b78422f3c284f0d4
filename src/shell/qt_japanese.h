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

// The whole interface in Japanese whatever the system's locale: the default
// locale is Japanese and Qt's own texts come from its Japanese catalogue.
void SpeakJapanese(QCoreApplication& app);

} // namespace brindle
