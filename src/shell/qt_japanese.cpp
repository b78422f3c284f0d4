#include "shell/qt_japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace brindle {

namespace {

// Texts that Qt asks for under a context Debian's catalogue does not have
// (the file dialog's type column), so they would stay English among Japanese.
class MissingQtTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 || !sourceText)
            return {};
        static const struct {
            const char* english;
            const char16_t* japanese;
        } texts[] = {
            {"Drive", u"ドライブ"},    {"File", u"ファイル"},
            {"Folder", u"フォルダー"}, {"File Folder", u"フォルダー"},
            {"Alias", u"エイリアス"},  {"Shortcut", u"ショートカット"},
            {"Unknown", u"不明"},
        };
        for (const auto& text : texts) {
            if (qstrcmp(sourceText, text.english) == 0)
                return QString::fromUtf16(text.japanese);
        }
        return {};
    }
};

} // namespace

QTranslator* InstallQtJapanese(QCoreApplication& app, const QString& directory) {
    const QString dir =
        directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    // The file is named outright: a locale-based lookup would follow LANG,
    // and the interface is Japanese under any locale.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), dir) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    translator->setParent(&app);
    // Searched before the catalogue, but it answers only what the catalogue lacks.
    auto missing = std::make_unique<MissingQtTexts>(&app);
    QCoreApplication::installTranslator(missing.release());
    return translator.release();
}

void SpeakJapanese(QCoreApplication& app) {
    // Numbers, dates and file types in Qt's widgets the Japanese way too,
    // not as LANG would have them.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    InstallQtJapanese(app);
}

} // namespace brindle
