#pragma once

#include <QString>
#include <QVariant>

#include <ostream>

// Readable QString and QVariant values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* os) {
    if (value.isNull())
        *os << "NULL";
    else
        *os << value.typeName() << '(' << value.toString().toStdString() << ')';
}
