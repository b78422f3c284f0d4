#include "data/odbc_text.h"

namespace brindle::odbc {

std::vector<SQLWCHAR> ToSqlWide(QStringView text) {
    std::vector<SQLWCHAR> wide;
    wide.reserve(static_cast<std::size_t>(text.size()) + 1);
    for (QChar c : text)
        wide.push_back(c.unicode());
    wide.push_back(0);
    return wide;
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
