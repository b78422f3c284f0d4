#include "colour/search_word.h"

namespace brindle {

QString UpperSameLength(QStringView text) {
    QString upper(text.size(), Qt::Uninitialized);
    QChar* out = upper.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = text[i].toUpper();
    return upper;
}

qsizetype FindWord(QStringView text, qsizetype start, QStringView word, bool ignoreCase) {
    if (start < 1 || start > text.size() + 1)
        return 0;
    if (word.isEmpty())
        return start;
    qsizetype at = -1;
    if (ignoreCase)
        at = QStringView(UpperSameLength(text)).indexOf(UpperSameLength(word), start - 1);
    else
        at = text.indexOf(word, start - 1);
    return at < 0 ? 0 : at + 1;
}

} // namespace brindle
