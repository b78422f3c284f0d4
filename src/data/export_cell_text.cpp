#include "data/export_cell_text.h"

#include "data/grid_cell_text.h"
#include "data/odbc_column_values.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace brindle {

namespace {

QString CellSized(QString text) {
    if (text.size() <= SheetCellTextLimit)
        return text;
    qsizetype keep = SheetCellTextLimit;
    if (text.at(keep - 1).isHighSurrogate())
        --keep;
    text.truncate(keep);
    return text;
}

// Decimal digits as a driver writes them ("12.3400", "-0.50"): the zeros after
// the last significant fraction digit go, and the point with them when none is
// left. Anything that is not plain digits (an exponent, "NaN") stays as it is.
QString DecimalText(const QString& digits) {
    const qsizetype point = digits.indexOf(u'.');
    if (point < 0)
        return digits;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const QChar c = digits.at(i);
        const bool sign = i == 0 && (c == u'-' || c == u'+');
        if (!sign && i != point && !(c >= u'0' && c <= u'9'))
            return digits;
    }
    qsizetype end = digits.size();
    while (end > point + 1 && digits.at(end - 1) == u'0')
        --end;
    if (end == point + 1)
        end = point;
    return digits.left(end);
}

} // namespace

QString ExportCellText(const QVariant& value, odbc::ColumnKind kind) {
    if (value.isNull())
        return QString();
    if (kind == odbc::ColumnKind::Decimal)
        return CellSized(DecimalText(value.toString()));
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return DateText(value.toDate());
    case QMetaType::QTime:
        return TimeText(value.toTime());
    case QMetaType::QDateTime:
        return TimestampText(value.toDateTime());
    case QMetaType::QByteArray: {
        // Hex doubles the length, so cut the bytes first: a huge value costs
        // no more than one cell's text.
        const QByteArray bytes = value.toByteArray().left((SheetCellTextLimit - 2) / 2);
        return QStringLiteral("0x") + QString::fromLatin1(bytes.toHex().toUpper());
    }
    default:
        return CellSized(value.toString());
    }
}

QString CellAddress(int row, int column) {
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters + QString::number(row);
}

} // namespace brindle
