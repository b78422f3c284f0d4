#pragma once

#include "data/trivial_array.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace brindle::odbc {

// What a result column holds, and so which QVariant type its values have.
enum class ColumnKind {
    Integer,  // qint64
    Double,   // double
    Text,     // QString
    Decimal,  // QString: exact decimal digits as the driver writes them
    Date,     // QDate
    Time,     // QTime
    DateTime, // QDateTime (UTC, see appendDateTime)
    Binary,   // QByteArray
};

// All values of one result column, stored compactly: one contiguous vector of
// the native type (text and bytes as one buffer with per-row offsets) and a
// null bitmap, so a large result costs no heap object per cell.
class ColumnValues {
public:
    explicit ColumnValues(ColumnKind kind);

    ColumnKind kind() const noexcept { return m_kind; }
    qsizetype size() const noexcept { return m_rows; }

    // Each append adds one row; the caller appends the kind's own type.
    void appendNull();
    void appendInteger(qint64 value);
    void appendDouble(double value);
    // Text and Decimal: length UTF-16 units at utf16, which need not be aligned
    // (driver buffers are bytes).
    void appendText(const void* utf16, qsizetype length);
    // Text and Decimal: bytes of UTF-8, stored as UTF-16; a malformed
    // sequence becomes U+FFFD.
    void appendUtf8(const char* utf8, qsizetype bytes);
    void appendBytes(const unsigned char* bytes, qsizetype length);
    void appendDate(QDate date);
    void appendTime(QTime time);
    // Database timestamps carry no time zone; they are kept (and returned) as
    // UTC so that every wall-clock value, even one inside a daylight-saving
    // gap of the local zone, comes back exactly as stored.
    void appendDateTime(QDateTime dateTime);

    bool isNull(qsizetype row) const;
    // A null QVariant for NULL, otherwise the kind's type. Row must be valid.
    QVariant value(qsizetype row) const;

    // The stored form, for scans over a whole column without a QVariant per
    // row. A NULL row holds 0 (an empty span for text and bytes); bit r % 64
    // of nullWords()[r / 64] is set when row r is NULL.
    std::span<const std::uint64_t> nullWords() const noexcept { return m_nullBits; }
    // Integer; Date as the Julian day; Time as milliseconds of the day;
    // DateTime as milliseconds since the epoch (UTC).
    std::span<const qint64> fixedValues() const noexcept { return m_integers; }
    std::span<const double> doubleValues() const noexcept { return m_doubles; }
    // The UTF-16 units of a Text or Decimal row. Row must be valid.
    std::u16string_view textView(qsizetype row) const;

    void reserve(qsizetype rows);
    // Frees the room the buffers grew beyond their contents.
    void shrinkToFit();

private:
    void pushNullBit(bool isNull);
    void appendFixed(qint64 value); // integers, dates, times, timestamps
    void closeSpan();               // ends a row of the text or byte buffer

    ColumnKind m_kind;
    qsizetype m_rows = 0;
    TrivialArray<std::uint64_t> m_nullBits;
    TrivialArray<qint64> m_integers; // Integer, Date (Julian day), Time (ms), DateTime (ms UTC)
    TrivialArray<double> m_doubles;
    TrivialArray<char16_t> m_text;       // Text, Decimal
    TrivialArray<unsigned char> m_bytes; // Binary
    TrivialArray<std::size_t> m_ends;    // end offset of each row in m_text or m_bytes
};

} // namespace brindle::odbc
