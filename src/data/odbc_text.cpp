#include "data/odbc_text.h"

#include <cstring>

namespace brindle::odbc {

std::vector<SQLWCHAR> ToSqlWide(QStringView text) {
    std::vector<SQLWCHAR> wide;
    wide.reserve(static_cast<std::size_t>(text.size()) + 1);
    for (QChar c : text)
        wide.push_back(c.unicode());
    wide.push_back(0);
    return wide;
}

qsizetype WideValueUnits(const void* bytes, SQLLEN lengthBytes, qsizetype room,
                         bool untrustedLength) {
    const qsizetype given = qMin<qsizetype>(lengthBytes / qsizetype(sizeof(SQLWCHAR)), room);
    if (!untrustedLength)
        return given;
    // Unit by unit: the buffer of bytes need not be aligned for SQLWCHAR.
    const auto* data = static_cast<const unsigned char*>(bytes);
    qsizetype end = 0;
    for (SQLWCHAR unit = 1; end < room; ++end) {
        std::memcpy(&unit, data + end * qsizetype(sizeof unit), sizeof unit);
        if (unit == 0)
            break;
    }
    return qMax(given, end);
}

QString FromSqlWide(const SQLWCHAR* text, qsizetype length) {
    qsizetype end = 0;
    while ((length < 0 || end < length) && text[end] != 0)
        ++end;
    length = end;
    QString result(length, Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QChar(text[i]);
    return result;
}

} // namespace brindle::odbc
