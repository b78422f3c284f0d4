#pragma once

#include <QString>
#include <QStringView>

namespace brindle::colour {

// Lower case one UTF-16 unit at a time, so the result has the same length as
// the input and a position found in it is the same position in the original.
// (QString::toLower may change the length for special cases.)
QString LowerPerChar(QStringView text);

inline char16_t LowerChar(char16_t c) {
    if (c < 0x80) {
        return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    }
    return QChar(c).toLower().unicode();
}

} // namespace brindle::colour
