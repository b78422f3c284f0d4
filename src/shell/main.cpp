#include "data/odbc_locale.h"
#include "core/app_info.h"
#include "shell/bas_main.h"
#include "shell/font_substitutes.h"
#include "shell/frm_main.h"
#include "shell/qt_japanese.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    brindle::SpeakJapanese(app);
    brindle::UseUtf8CharacterSet();
    QApplication::setApplicationName(brindle::AppTitle());
    QApplication::setApplicationVersion(brindle::VersionText());
    QApplication::setDesktopFileName(QStringLiteral("brindle"));
    QIcon icon;
    for (const char16_t* name : {u":/icons/brindle.png", u":/icons/brindle-48.png",
                                 u":/icons/brindle-128.png", u":/icons/brindle-256.png"})
        icon.addFile(QString::fromUtf16(name));
    QApplication::setWindowIcon(icon);
    brindle::RegisterFontSubstitutes();

    const brindle::Services services;
    std::unique_ptr<brindle::frmMain> window = brindle::Main(services);
    if (!window)
        return 1;
    window->setAttribute(Qt::WA_QuitOnClose);
    return QApplication::exec();
}
