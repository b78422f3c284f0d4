#pragma once

#include <QString>
#include <QStringView>

namespace brindle::arrange {

// Blanks per indentation level and per tab.
inline constexpr int kIndentUnit = 4;

// The working text has one line break, a lone CR: CR LF becomes CR and every
// tab becomes 4 blanks. A lone LF is an ordinary character.
QString NormalizeBreaks(QStringView query);

// Every CR back to CR LF.
QString RestoreBreaks(QStringView text);

// True for a blank, a tab, a CR and the empty text that stands for the places
// before the start and past the end of the text.
bool IsDelimiter(QStringView oneChar);

// The text without blanks (U+0020 only) at either end.
QStringView TrimBlanks(QStringView text);

// Blanks for one indentation level: 4 x level, none for 0 or below. The product
// is a 16-bit number, so a level outside -8192..8191 throws an overflow Error.
qsizetype IndentWidth(int level);

// IndentWidth(level) blanks followed by the text.
QString IndentText(int level, QStringView text);

// Lower case one UTF-16 unit at a time, so the lowered text has the same
// length and a position found in it is the same position in the original.
inline char16_t LowerChar(char16_t c) {
    if (c < 0x80) {
        return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    }
    return QChar(c).toLower().unicode();
}
QString LowerPerChar(QStringView text);

} // namespace brindle::arrange
