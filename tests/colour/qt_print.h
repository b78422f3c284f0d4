#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Readable gtest messages for Qt strings (UTF-8, control characters escaped).
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"';
    for (const QChar c : s) {
        if (c == u'\r') {
            *os << "\\r";
        } else if (c == u'\n') {
            *os << "\\n";
        } else {
            *os << QString(c).toStdString();
        }
    }
    *os << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i ? ", " : "");
        PrintTo(list[i], os);
    }
    *os << ']';
}
