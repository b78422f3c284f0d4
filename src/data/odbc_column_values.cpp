#include "data/odbc_column_values.h"

#include <cstring>

namespace brindle::odbc {

namespace {

bool IsSpanKind(ColumnKind kind) {
    return kind == ColumnKind::Text || kind == ColumnKind::Decimal || kind == ColumnKind::Binary;
}

// Decodes UTF-8 into out, which has room for one unit per byte (never fewer
// are needed); returns the units written.
std::size_t DecodeUtf8(const unsigned char* in, std::size_t n, char16_t* out) {
    std::size_t i = 0;
    std::size_t o = 0;
    while (i < n) {
        const unsigned lead = in[i];
        if (lead < 0x80) {
            out[o++] = static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        std::size_t need = 0;
        char32_t cp = 0;
        char32_t least = 0;
        if ((lead & 0xE0) == 0xC0) {
            need = 1;
            cp = lead & 0x1F;
            least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            need = 2;
            cp = lead & 0x0F;
            least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            need = 3;
            cp = lead & 0x07;
            least = 0x10000;
        } else {
            out[o++] = 0xFFFD;
            ++i;
            continue;
        }
        std::size_t j = 1;
        for (; j <= need && i + j < n && (in[i + j] & 0xC0) == 0x80; ++j)
            cp = (cp << 6) | (in[i + j] & 0x3F);
        i += j;
        if (j <= need || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out[o++] = 0xFFFD;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out[o++] = static_cast<char16_t>(0xD800 + (cp >> 10));
            out[o++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out[o++] = static_cast<char16_t>(cp);
        }
    }
    return o;
}

} // namespace

ColumnValues::ColumnValues(ColumnKind kind) : m_kind(kind) {}

void ColumnValues::reserve(qsizetype rows) {
    const auto n = static_cast<std::size_t>(rows);
    m_nullBits.reserve((n + 63) / 64);
    switch (m_kind) {
    case ColumnKind::Double:
        m_doubles.reserve(n);
        break;
    case ColumnKind::Text:
    case ColumnKind::Decimal:
    case ColumnKind::Binary:
        m_ends.reserve(n);
        break;
    default:
        m_integers.reserve(n);
        break;
    }
}

void ColumnValues::shrinkToFit() {
    m_nullBits.shrink_to_fit();
    m_integers.shrink_to_fit();
    m_doubles.shrink_to_fit();
    m_text.shrink_to_fit();
    m_bytes.shrink_to_fit();
    m_ends.shrink_to_fit();
}

void ColumnValues::pushNullBit(bool isNull) {
    const auto row = static_cast<std::size_t>(m_rows);
    if (row % 64 == 0)
        m_nullBits.push_back(0);
    if (isNull)
        m_nullBits.back() |= std::uint64_t{1} << (row % 64);
    ++m_rows;
}

void ColumnValues::closeSpan() {
    m_ends.push_back(m_kind == ColumnKind::Binary ? m_bytes.size() : m_text.size());
}

void ColumnValues::appendFixed(qint64 value) {
    m_integers.push_back(value);
    pushNullBit(false);
}

void ColumnValues::appendNull() {
    if (m_kind == ColumnKind::Double)
        m_doubles.push_back(0);
    else if (IsSpanKind(m_kind))
        closeSpan();
    else
        m_integers.push_back(0);
    pushNullBit(true);
}

void ColumnValues::appendInteger(qint64 value) {
    Q_ASSERT(m_kind == ColumnKind::Integer);
    appendFixed(value);
}

void ColumnValues::appendDouble(double value) {
    Q_ASSERT(m_kind == ColumnKind::Double);
    m_doubles.push_back(value);
    pushNullBit(false);
}

void ColumnValues::appendText(const void* utf16, qsizetype length) {
    Q_ASSERT(m_kind == ColumnKind::Text || m_kind == ColumnKind::Decimal);
    // Copied as bytes: the driver's buffer need not be aligned for char16_t.
    const auto units = static_cast<std::size_t>(length);
    char16_t* to = m_text.extend(units);
    if (units > 0)
        std::memcpy(to, utf16, units * sizeof(char16_t));
    closeSpan();
    pushNullBit(false);
}

void ColumnValues::appendUtf8(const char* utf8, qsizetype bytes) {
    Q_ASSERT(m_kind == ColumnKind::Text || m_kind == ColumnKind::Decimal);
    const std::size_t start = m_text.size();
    const auto n = static_cast<std::size_t>(bytes);
    char16_t* out = m_text.extend(n);
    m_text.truncate(start + DecodeUtf8(reinterpret_cast<const unsigned char*>(utf8), n, out));
    closeSpan();
    pushNullBit(false);
}

void ColumnValues::appendBytes(const unsigned char* bytes, qsizetype length) {
    Q_ASSERT(m_kind == ColumnKind::Binary);
    m_bytes.append(bytes, static_cast<std::size_t>(length));
    closeSpan();
    pushNullBit(false);
}

void ColumnValues::appendDate(QDate date) {
    Q_ASSERT(m_kind == ColumnKind::Date);
    appendFixed(date.toJulianDay());
}

void ColumnValues::appendTime(QTime time) {
    Q_ASSERT(m_kind == ColumnKind::Time);
    appendFixed(time.msecsSinceStartOfDay());
}

void ColumnValues::appendDateTime(QDateTime dateTime) {
    Q_ASSERT(m_kind == ColumnKind::DateTime);
    appendFixed(dateTime.toMSecsSinceEpoch());
}

bool ColumnValues::isNull(qsizetype row) const {
    const auto r = static_cast<std::size_t>(row);
    return (m_nullBits[r / 64] >> (r % 64)) & 1U;
}

std::u16string_view ColumnValues::textView(qsizetype row) const {
    Q_ASSERT(row >= 0 && row < m_rows);
    Q_ASSERT(m_kind == ColumnKind::Text || m_kind == ColumnKind::Decimal);
    const auto r = static_cast<std::size_t>(row);
    const std::size_t begin = r == 0 ? 0 : m_ends[r - 1];
    return {m_text.data() + begin, m_ends[r] - begin};
}

QVariant ColumnValues::value(qsizetype row) const {
    Q_ASSERT(row >= 0 && row < m_rows);
    if (isNull(row))
        return {};
    const auto r = static_cast<std::size_t>(row);
    switch (m_kind) {
    case ColumnKind::Integer:
        return QVariant::fromValue<qint64>(m_integers[r]);
    case ColumnKind::Double:
        return m_doubles[r];
    case ColumnKind::Date:
        return QDate::fromJulianDay(m_integers[r]);
    case ColumnKind::Time:
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(m_integers[r]));
    case ColumnKind::DateTime:
        return QDateTime::fromMSecsSinceEpoch(m_integers[r], Qt::UTC);
    case ColumnKind::Text:
    case ColumnKind::Decimal: {
        const std::size_t begin = r == 0 ? 0 : m_ends[r - 1];
        const auto length = static_cast<qsizetype>(m_ends[r] - begin);
        if (length == 0)
            return QStringLiteral(""); // empty, and distinct from NULL
        return QString::fromUtf16(m_text.data() + begin, length);
    }
    case ColumnKind::Binary: {
        const std::size_t begin = r == 0 ? 0 : m_ends[r - 1];
        const auto length = static_cast<qsizetype>(m_ends[r] - begin);
        return QByteArray(reinterpret_cast<const char*>(m_bytes.data() + begin), length);
    }
    }
    return {};
}

} // namespace brindle::odbc
