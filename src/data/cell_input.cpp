#include "data/cell_input.h"

#include "data/grid_cell_text.h"
#include "data/odbc_column_values.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>

namespace brindle {

namespace {

std::optional<QTime> ParseTime(const QString& text) {
    for (const QStringView format : {u"HH:mm:ss.zzz", u"HH:mm:ss", u"HH:mm"}) {
        const QTime time = QTime::fromString(text, format);
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

std::optional<QVariant> ParseDateTime(const QString& text) {
    const QDate date = QDate::fromString(text, u"yyyy-MM-dd");
    if (date.isValid())
        return QDateTime(date, QTime(0, 0), Qt::UTC);
    const qsizetype split = text.indexOf(QRegularExpression(QStringLiteral("[ T]")));
    if (split < 0)
        return std::nullopt;
    const QDate day = QDate::fromString(text.left(split), u"yyyy-MM-dd");
    const std::optional<QTime> time = ParseTime(text.mid(split + 1).trimmed());
    if (!day.isValid() || !time)
        return std::nullopt;
    return QDateTime(day, *time, Qt::UTC);
}

} // namespace

QString CellEditText(const QVariant& value) {
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return GridCellText(value);
}

std::optional<QVariant> ParseCellInput(const QString& text, odbc::ColumnKind kind) {
    using odbc::ColumnKind;
    if (kind == ColumnKind::Text)
        return QVariant(text);
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QVariant();
    switch (kind) {
    case ColumnKind::Integer: {
        bool ok = false;
        const qint64 n = trimmed.toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant::fromValue(n)) : std::nullopt;
    }
    case ColumnKind::Double: {
        bool ok = false;
        const double d = trimmed.toDouble(&ok);
        return ok && std::isfinite(d) ? std::optional<QVariant>(d) : std::nullopt;
    }
    case ColumnKind::Decimal: {
        static const QRegularExpression digits(
            QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
        return digits.match(trimmed).hasMatch() ? std::optional<QVariant>(trimmed) : std::nullopt;
    }
    case ColumnKind::Date: {
        const QDate date = QDate::fromString(trimmed, u"yyyy-MM-dd");
        return date.isValid() ? std::optional<QVariant>(date) : std::nullopt;
    }
    case ColumnKind::Time: {
        const std::optional<QTime> time = ParseTime(trimmed);
        return time ? std::optional<QVariant>(*time) : std::nullopt;
    }
    case ColumnKind::DateTime:
        return ParseDateTime(trimmed);
    case ColumnKind::Text:
    case ColumnKind::Binary:
        break;
    }
    return std::nullopt;
}

} // namespace brindle
