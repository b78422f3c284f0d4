#include "data/json_text.h"

#include "data/odbc_column_values.h"
#include "data/result_cell_text.h"

#include <QByteArray>

#include <cmath>

namespace brindle {

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

void AppendJsonString(QString& out, QStringView text) {
    out += u'"';
    // Runs without anything to escape go in whole: most text has none.
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        out.append(text.sliced(run, i - run));
        run = i + 1;
        switch (c) {
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
            out += u"\\u00";
            out += QString::number(c, 16).rightJustified(2, u'0');
        }
    }
    out.append(text.sliced(run));
    out += u'"';
}

QString JsonDecimal(QStringView digits) {
    const QStringView text = digits.trimmed();
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
    QStringView whole = text.sliced(intStart, i - intStart);
    QStringView fraction;
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
        exponent = u'e' + text.sliced(i + 1, j - i - 1).toString();
        i = j;
    }
    if (i != text.size())
        return {};
    // JSON allows no leading zeros, no empty whole part and no bare point.
    while (whole.size() > 1 && whole.front() == u'0')
        whole = whole.sliced(1);
    QString number = sign + (whole.isEmpty() ? QStringLiteral("0") : whole.toString());
    if (!fraction.isEmpty())
        number += u'.' + fraction.toString();
    return number + exponent;
}

void AppendJsonValue(QString& out, const QVariant& value, odbc::ColumnKind kind) {
    if (value.isNull()) {
        out += u"null";
        return;
    }
    switch (value.typeId()) {
    case QMetaType::LongLong:
        out += QString::number(value.toLongLong());
        return;
    case QMetaType::Double:
        if (std::isfinite(value.toDouble())) {
            out += DoubleText(value.toDouble());
            return;
        }
        break;
    case QMetaType::QByteArray:
        AppendJsonString(out, QString::fromLatin1(value.toByteArray().toHex()));
        return;
    default:
        break;
    }
    if (kind == odbc::ColumnKind::Decimal) {
        const QString number = JsonDecimal(value.toString());
        if (!number.isNull()) {
            out += number;
            return;
        }
    }
    AppendJsonString(out, WholeValueText(value));
}

} // namespace brindle
