#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace brindle {

enum class TextEncoding {
    Cp932,   // the program's ANSI code page (Shift-JIS)
    Utf8,    // UTF-8 without a byte-order mark
    Utf8Bom, // UTF-8 starting with a byte-order mark
};

enum class LineEnds { CrLf, Lf };

// How a file was written, so it can be saved back the same way.
struct TextFileFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    LineEnds lineEnds = LineEnds::CrLf;
    friend bool operator==(const TextFileFormat&, const TextFileFormat&) = default;
};

struct TextFileContent {
    QString text; // every line ends with CR LF, the last one included
    TextFileFormat format;
};

// Decodes file bytes: a byte-order mark, or valid UTF-8 holding non-ASCII
// bytes, means UTF-8; anything else is code page 932. A line ends at CR LF,
// at a lone CR or at a lone LF, and every line gets CR LF.
TextFileContent DecodeTextFile(const QByteArray& bytes);

// Reads a whole file. Throws an Error (53 missing, 76 no such directory,
// 70 not readable, 75 not a file) when it cannot be read.
TextFileContent ReadTextFileContent(const QString& path);

// The editor's text (CR LF line ends) as the bytes of `format`. Text that code
// page 932 cannot hold is written as UTF-8 instead of losing characters;
// `written` (when given) receives the format actually used.
QByteArray EncodeTextFile(QStringView text, const TextFileFormat& format,
                          TextFileFormat* written = nullptr);

// Writes through a temporary file beside the target that replaces it only
// when everything was written, so a failed save never damages the old file.
// Adds no line end of its own; an empty text gives an empty file. Throws an
// Error when the file cannot be written. Returns the format used.
TextFileFormat WriteTextFileContent(const QString& path, QStringView text,
                                    const TextFileFormat& format);

// True when every character survives code page 932.
bool FitsCp932(QStringView text);

} // namespace brindle
