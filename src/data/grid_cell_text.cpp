#include "data/grid_cell_text.h"

#include "data/odbc_column_values.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <algorithm>

namespace brindle {

namespace {

constexpr char16_t Ellipsis = u'…';

QString OneLine(const QString& text) {
    const bool cut = text.size() > GridTextLimit;
    QString line = cut ? text.left(GridTextLimit) : text;
    // Never leave half of a surrogate pair at the cut.
    if (cut && line.back().isHighSurrogate())
        line.chop(1);
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& c : line) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    if (cut)
        line += Ellipsis;
    return line;
}

// The text with its own line breaks (each made LF), up to the tool tip's
// limits.
QString WholeText(const QString& text) {
    QString shown;
    shown.reserve(std::min(text.size(), GridToolTipLimit) + 1);
    qsizetype lines = 1;
    bool cut = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            c = u'\n';
        }
        if ((c == u'\n' && ++lines > GridToolTipLines) || shown.size() == GridToolTipLimit) {
            cut = true;
            break;
        }
        shown += c;
    }
    if (cut) {
        // Never half of a surrogate pair at the cut.
        if (!shown.isEmpty() && shown.back().isHighSurrogate())
            shown.chop(1);
        shown += Ellipsis;
    }
    return shown;
}

QString HexText(const QByteArray& bytes, qsizetype limit) {
    const bool cut = bytes.size() > limit;
    const QByteArray shown = cut ? bytes.left(limit) : bytes;
    QString text = QStringLiteral("0x") + QString::fromLatin1(shown.toHex().toUpper());
    if (cut)
        text += Ellipsis;
    return text;
}

} // namespace

QString DateText(QDate date) {
    return date.toString(u"yyyy-MM-dd");
}

QString TimeText(QTime time) {
    return time.toString(time.msec() != 0 ? u"HH:mm:ss.zzz" : u"HH:mm:ss");
}

QString TimestampText(const QDateTime& stamp) {
    return DateText(stamp.date()) + u' ' + TimeText(stamp.time());
}

QString GridNullText() {
    return QStringLiteral("(NULL)");
}

QString GridCellText(const QVariant& value) {
    if (value.isNull())
        return GridNullText();
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QString:
        return OneLine(value.toString());
    case QMetaType::QDate:
        return DateText(value.toDate());
    case QMetaType::QTime:
        return TimeText(value.toTime());
    case QMetaType::QDateTime:
        return TimestampText(value.toDateTime());
    case QMetaType::QByteArray:
        return HexText(value.toByteArray(), GridBytesLimit);
    default:
        return OneLine(value.toString());
    }
}

QString GridToolTipText(const QVariant& value) {
    if (value.isNull())
        return GridNullText();
    switch (value.typeId()) {
    case QMetaType::QString:
        return WholeText(value.toString());
    case QMetaType::QByteArray:
        return HexText(value.toByteArray(), GridToolTipBytes);
    default:
        return GridCellText(value);
    }
}

bool IsNumericKind(odbc::ColumnKind kind) {
    return kind == odbc::ColumnKind::Integer || kind == odbc::ColumnKind::Double ||
           kind == odbc::ColumnKind::Decimal;
}

} // namespace brindle
