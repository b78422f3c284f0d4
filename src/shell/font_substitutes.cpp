#include "shell/font_substitutes.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace brindle {

void RegisterFontSubstitutes() {
    const QStringList candidates = {
        QStringLiteral("IPAGothic"),
        QStringLiteral("IPAゴシック"),
        QStringLiteral("Noto Sans Mono CJK JP"),
        QStringLiteral("Noto Sans CJK JP"),
        QStringLiteral("VL Gothic"),
        QStringLiteral("TakaoGothic"),
        QStringLiteral("IPAexGothic"),
    };
    const QStringList installed = QFontDatabase::families();
    QStringList substitutes;
    for (const QString& family : candidates) {
        if (installed.contains(family, Qt::CaseInsensitive))
            substitutes.append(family);
    }
    substitutes.append(QStringLiteral("monospace"));
    for (const QString& name : {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                                QStringLiteral("ＭＳ 明朝"), QStringLiteral("ＭＳ Ｐゴシック")})
        QFont::insertSubstitutions(name, substitutes);
}

} // namespace brindle
