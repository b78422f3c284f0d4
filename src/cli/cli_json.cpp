#include "cli/cli_json.h"

namespace brindle::cli {

void AppendJsonString(QString& out, const QString& text) {
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += u"\\\"";
            break;
        case u'\\':
            out += u"\\\\";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\t':
            out += u"\\t";
            break;
        default:
            if (c.unicode() < 0x20) {
                out += u"\\u00";
                out += QString::number(c.unicode(), 16).rightJustified(2, u'0');
            } else {
                out += c;
            }
        }
    }
    out += u'"';
}

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

QString JsonDecimal(const QString& digits) {
    const QString text = digits.trimmed();
    qsizetype i = 0;
    QString sign;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            sign = QStringLiteral("-");
        ++i;
    }
    const qsizetype intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    QString whole = text.sliced(intStart, i - intStart);
    QString fraction;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fracStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        fraction = text.sliced(fracStart, i - fracStart);
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return {};
    QString exponent;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
            ++j;
        const qsizetype expDigits = j;
        while (j < text.size() && IsDigit(text[j]))
            ++j;
        if (j == expDigits)
            return {};
        exponent = u'e' + text.sliced(i + 1, j - i - 1);
        i = j;
    }
    if (i != text.size())
        return {};
    // JSON allows no leading zeros, no empty whole part and no bare point.
    while (whole.size() > 1 && whole.front() == u'0')
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    QString number = sign + whole;
    if (!fraction.isEmpty())
        number += u'.' + fraction;
    return number + exponent;
}

} // namespace brindle::cli
