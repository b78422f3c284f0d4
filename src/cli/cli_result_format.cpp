#include "cli/cli_result_format.h"

#include "cli/cli_json.h"
#include "data/odbc_column_values.h"
#include "data/recordset.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <cmath>
#include <utility>

namespace brindle::cli {

namespace {

QString TimeText(const QTime& time) {
    return time.toString(time.msec() != 0 ? QStringLiteral("HH:mm:ss.zzz")
                                          : QStringLiteral("HH:mm:ss"));
}

QString DoubleText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A value that is not NULL, as text: the TSV field and the JSON form of the
// values JSON writes as strings.
QString PlainText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return DoubleText(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return TimeText(value.toTime());
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        return stamp.date().toString(QStringLiteral("yyyy-MM-dd")) + u' ' + TimeText(stamp.time());
    }
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex());
    default:
        return value.toString();
    }
}

void AppendJsonValue(QString& out, const QVariant& value, odbc::ColumnKind kind) {
    if (value.isNull()) {
        out += u"null";
        return;
    }
    if (value.typeId() == QMetaType::LongLong) {
        out += QString::number(value.toLongLong());
        return;
    }
    if (value.typeId() == QMetaType::Double && std::isfinite(value.toDouble())) {
        out += DoubleText(value.toDouble());
        return;
    }
    if (kind == odbc::ColumnKind::Decimal) {
        const QString number = JsonDecimal(value.toString());
        if (!number.isNull()) {
            out += number;
            return;
        }
    }
    AppendJsonString(out, PlainText(value));
}

QString Tsv(const Recordset& rs) {
    QString out;
    for (int field = 0; field < rs.FieldCount(); ++field) {
        if (field > 0)
            out += u'\t';
        AppendTsvField(out, rs.FieldName(field));
    }
    out += u'\n';
    for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
        for (int field = 0; field < rs.FieldCount(); ++field) {
            if (field > 0)
                out += u'\t';
            const QVariant value = rs.Value(row, field);
            if (!value.isNull())
                AppendTsvField(out, PlainText(value));
        }
        out += u'\n';
    }
    return out;
}

QString Json(const Recordset& rs) {
    QString out = QStringLiteral("{");
    AppendJsonColumnsAndRows(out, rs);
    out += u"}\n";
    return out;
}

} // namespace

void AppendTsvField(QString& out, const QString& text) {
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\t':
            out += u"\\t";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\\':
            out += u"\\\\";
            break;
        default:
            out += c;
        }
    }
}

void AppendJsonColumnsAndRows(QString& out, const Recordset& rs) {
    out += u"\"columns\":[";
    for (int field = 0; field < rs.FieldCount(); ++field) {
        if (field > 0)
            out += u',';
        AppendJsonString(out, rs.FieldName(field));
    }
    out += u"],\"rows\":[";
    for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
        if (row > 0)
            out += u',';
        out += u'[';
        for (int field = 0; field < rs.FieldCount(); ++field) {
            if (field > 0)
                out += u',';
            AppendJsonValue(out, rs.Value(row, field), rs.FieldKind(field));
        }
        out += u']';
    }
    out += u']';
}

void AppendJsonColumnsAndRows(QString& out, std::shared_ptr<const odbc::ResultTable> table) {
    // Shown read-only, the kept result reads as any open result set does.
    Recordset rs;
    rs.Show(std::move(table));
    AppendJsonColumnsAndRows(out, rs);
}

QString FormatResult(const Recordset& rs, ResultFormat format) {
    switch (format) {
    case ResultFormat::Tsv:
        return Tsv(rs);
    case ResultFormat::Json:
        return Json(rs);
    case ResultFormat::Count:
        break;
    }
    return QString::number(rs.RecordCount()) + u'\n';
}

} // namespace brindle::cli
