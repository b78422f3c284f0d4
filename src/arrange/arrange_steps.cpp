#include "arrange/arrange_steps.h"

#include "core/error.h"

namespace brindle::arrange {

QString NormalizeBreaks(QStringView query) {
    QString text = query.toString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(u'\t', IndentText(1, {}));
    return text;
}

QString RestoreBreaks(QStringView text) {
    QString restored = text.toString();
    restored.replace(QChar(u'\r'), QStringLiteral("\r\n"));
    return restored;
}

bool IsDelimiter(QStringView oneChar) {
    if (oneChar.isEmpty()) {
        return true;
    }
    const QChar c = oneChar.front();
    return c == u' ' || c == u'\t' || c == u'\r';
}

QStringView TrimBlanks(QStringView text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ') {
        ++from;
    }
    while (to > from && text[to - 1] == u' ') {
        --to;
    }
    return text.sliced(from, to - from);
}

qsizetype IndentWidth(int level) {
    const int width = kIndentUnit * level;
    if (width < -32768 || width > 32767) {
        throw OverflowError();
    }
    return width > 0 ? width : 0;
}

QString IndentText(int level, QStringView text) {
    const qsizetype width = IndentWidth(level);
    QString indented;
    indented.reserve(width + text.size());
    indented.fill(u' ', width);
    indented.append(text);
    return indented;
}

QString LowerPerChar(QStringView text) {
    QString lowered(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(lowered.data());
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[i] = LowerChar(in[i]);
    }
    return lowered;
}

} // namespace brindle::arrange
