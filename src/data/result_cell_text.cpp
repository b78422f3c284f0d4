#include "data/result_cell_text.h"

#include "data/grid_cell_text.h"
#include "data/json_text.h"
#include "data/odbc_column_values.h"
#include "data/recordset.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QLatin1StringView>
#include <QLocale>
#include <QTime>

#include <charconv>
#include <cmath>

namespace brindle {

namespace {

using odbc::ColumnKind;

constexpr qint64 MsPerDay = 86'400'000;
constexpr qint64 EpochJulianDay = 2'440'588; // 1970-01-01

QStringView ViewOf(std::u16string_view text) {
    return {text.data(), static_cast<qsizetype>(text.size())};
}

void AppendInteger(QString& out, qint64 value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(QLatin1StringView(digits, end - digits));
}

char* TwoDigits(char* at, int value) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
    return at + 2;
}

// yyyy-MM-dd as DateText writes it, without its format parsing; years
// outside four digits are left to DateText.
void AppendDate(QString& out, QDate date) {
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999) {
        out += DateText(date);
        return;
    }
    char text[10];
    char* at = TwoDigits(text, year / 100);
    at = TwoDigits(at, year % 100);
    *at++ = '-';
    at = TwoDigits(at, month);
    *at++ = '-';
    TwoDigits(at, day);
    out.append(QLatin1StringView(text, sizeof text));
}

// HH:mm:ss, and .zzz when there are milliseconds, as TimeText writes it.
void AppendTime(QString& out, qint64 msOfDay) {
    const int ms = static_cast<int>(msOfDay % 1000);
    const int seconds = static_cast<int>(msOfDay / 1000);
    char text[12];
    char* at = TwoDigits(text, seconds / 3600);
    *at++ = ':';
    at = TwoDigits(at, seconds / 60 % 60);
    *at++ = ':';
    at = TwoDigits(at, seconds % 60);
    if (ms != 0) {
        *at++ = '.';
        *at++ = static_cast<char>('0' + ms / 100);
        at = TwoDigits(at, ms % 100);
    }
    out.append(QLatin1StringView(text, at - text));
}

// Milliseconds since the epoch (UTC, the stored wall-clock value).
void AppendTimestamp(QString& out, qint64 ms) {
    qint64 days = ms / MsPerDay;
    qint64 rest = ms % MsPerDay;
    if (rest < 0) {
        rest += MsPerDay;
        --days;
    }
    AppendDate(out, QDate::fromJulianDay(days + EpochJulianDay));
    out += u' ';
    AppendTime(out, rest);
}

void AppendHex(QString& out, const QByteArray& bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += u"0x";
    const qsizetype start = out.size();
    out.resize(start + 2 * bytes.size());
    QChar* at = out.data() + start;
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *at++ = QLatin1Char(digits[b >> 4]);
        *at++ = QLatin1Char(digits[b & 0xF]);
    }
}

bool NeedsQuotes(QStringView text, QChar separator) {
    for (const QChar c : text) {
        if (c == separator || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

} // namespace

QString DoubleText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString WholeValueText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return DoubleText(value.toDouble());
    case QMetaType::QDate:
        return DateText(value.toDate());
    case QMetaType::QTime:
        return TimeText(value.toTime());
    case QMetaType::QDateTime:
        return TimestampText(value.toDateTime());
    case QMetaType::QByteArray: {
        QString text;
        AppendHex(text, value.toByteArray());
        return text;
    }
    default:
        return value.toString();
    }
}

void AppendDelimitedField(QString& out, QStringView text, QChar separator) {
    if (!NeedsQuotes(text, separator)) {
        out.append(text);
        return;
    }
    out += u'"';
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"') {
            out.append(text.sliced(run, i + 1 - run)); // the quote itself once
            run = i;                                   // and again with the next run
        }
    }
    out.append(text.sliced(run));
    out += u'"';
}

ResultCellWriter::ResultCellWriter(const Recordset& rs) : m_rs(rs) {
    const int count = rs.FieldCount();
    m_columns.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        m_columns.push_back(&rs.FieldValues(i));
}

bool ResultCellWriter::IsNull(qsizetype row, int column) const {
    if (m_rs.ValueEdited(row, column))
        return m_rs.Value(row, column).isNull();
    return m_columns[static_cast<std::size_t>(column)]->isNull(row);
}

void ResultCellWriter::appendStored(QString& out, const odbc::ColumnValues& values,
                                    qsizetype row) const {
    const auto r = static_cast<std::size_t>(row);
    switch (values.kind()) {
    case ColumnKind::Integer:
        AppendInteger(out, values.fixedValues()[r]);
        return;
    case ColumnKind::Double:
        out += DoubleText(values.doubleValues()[r]);
        return;
    case ColumnKind::Text:
    case ColumnKind::Decimal:
        out.append(ViewOf(values.textView(row)));
        return;
    case ColumnKind::Date:
        AppendDate(out, QDate::fromJulianDay(values.fixedValues()[r]));
        return;
    case ColumnKind::Time:
        AppendTime(out, values.fixedValues()[r]);
        return;
    case ColumnKind::DateTime:
        AppendTimestamp(out, values.fixedValues()[r]);
        return;
    case ColumnKind::Binary:
        AppendHex(out, values.value(row).toByteArray());
        return;
    }
}

void ResultCellWriter::AppendDelimited(QString& out, qsizetype row, int column,
                                       QChar separator) const {
    if (m_rs.ValueEdited(row, column)) {
        const QVariant value = m_rs.Value(row, column);
        if (!value.isNull())
            AppendDelimitedField(out, WholeValueText(value), separator);
        return;
    }
    const odbc::ColumnValues& values = *m_columns[static_cast<std::size_t>(column)];
    if (values.isNull(row))
        return;
    const ColumnKind kind = values.kind();
    if (kind == ColumnKind::Text || kind == ColumnKind::Decimal)
        AppendDelimitedField(out, ViewOf(values.textView(row)), separator);
    else
        appendStored(out, values, row); // digits, dates and hex need no quotes
}

void ResultCellWriter::AppendJson(QString& out, qsizetype row, int column) const {
    const odbc::ColumnValues& values = *m_columns[static_cast<std::size_t>(column)];
    if (m_rs.ValueEdited(row, column)) {
        AppendJsonValue(out, m_rs.Value(row, column), values.kind());
        return;
    }
    if (values.isNull(row)) {
        out += u"null";
        return;
    }
    const auto r = static_cast<std::size_t>(row);
    switch (values.kind()) {
    case ColumnKind::Integer:
        AppendInteger(out, values.fixedValues()[r]);
        return;
    case ColumnKind::Double:
        if (std::isfinite(values.doubleValues()[r])) {
            out += DoubleText(values.doubleValues()[r]);
            return;
        }
        break;
    case ColumnKind::Text:
        AppendJsonString(out, ViewOf(values.textView(row)));
        return;
    case ColumnKind::Decimal: {
        const QString number = JsonDecimal(ViewOf(values.textView(row)));
        if (!number.isNull()) {
            out += number;
            return;
        }
        break;
    }
    case ColumnKind::Binary:
        AppendJsonValue(out, values.value(row), values.kind());
        return;
    default:
        break;
    }
    // Dates, times, timestamps and numbers JSON has no form for: strings.
    out += u'"';
    appendStored(out, values, row);
    out += u'"';
}

QString ResultCellWriter::Text(qsizetype row, int column) const {
    if (m_rs.ValueEdited(row, column)) {
        const QVariant value = m_rs.Value(row, column);
        return value.isNull() ? QString() : WholeValueText(value);
    }
    const odbc::ColumnValues& values = *m_columns[static_cast<std::size_t>(column)];
    if (values.isNull(row))
        return {};
    QString text = QStringLiteral(""); // empty text is not NULL
    appendStored(text, values, row);
    return text;
}

} // namespace brindle
