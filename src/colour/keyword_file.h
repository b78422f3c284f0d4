#pragma once

#include <QByteArrayView>
#include <QString>

namespace brindle {

// Reads a whole keyword file and decodes it from code page 932. Throws
// Error 76 when the directory is missing, 53 when the file is, 70 when it
// exists but cannot be opened, 57 when reading breaks off, 62 when it is empty
// and 5 when no Shift_JIS decoder is available.
QString ReadKeywordFileText(const QString& path);

// Code page 932 bytes as text. Bytes that are not valid CP932, a cut-off
// double-byte character at the end included, become substitution characters.
QString DecodeCodePage932(QByteArrayView bytes);

} // namespace brindle
