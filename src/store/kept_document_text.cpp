#include "store/kept_document_text.h"

#include <QLocale>

namespace brindle {

QString KeptTimeText(const QDateTime& time) {
    if (!time.isValid())
        return {};
    const QDateTime local = time.toLocalTime();
    // Today's need no date.
    if (local.date() == QDate::currentDate())
        return local.toString(QStringLiteral("HH:mm:ss"));
    return local.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}

QString KeptSizeText(qint64 length) {
    return QLocale().toString(length) + QStringLiteral(" 文字");
}

QString KeptFirstLine(const store::KeptDocument& document, int maxChars) {
    QString line = document.firstLine.simplified();
    if (line.isEmpty())
        return QStringLiteral("(空白のみ)");
    if (line.size() > maxChars)
        line = line.left(maxChars - 1) + u'…';
    return line;
}

} // namespace brindle
