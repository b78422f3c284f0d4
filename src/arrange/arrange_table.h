#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace brindle {

// One row of the arrange keyword table.
struct KeywordArrange {
    QString Keyword;  // as in the file: not trimmed, may hold blanks; matched ignoring case
    qint16 Level = 0; // keyword line indented (Level - 1) x 4 blanks, the next line Level x 4
    qint16 Kind = 0;  // KindWord, or anything else for a symbol
    friend bool operator==(const KeywordArrange&, const KeywordArrange&) = default;
};

// A word stands between delimiters and starts a line; every other kind is a
// symbol, matched anywhere and kept at the end of the text before it.
inline constexpr qint16 KindWord = 1;

// In file order: the formatter applies the entries one after the other.
using ArrangeTable = std::vector<KeywordArrange>;

// False for a keyword of nothing but blanks and line breaks (the empty one
// included). Such a keyword matches the very blanks and breaks that its own
// arrangement writes, so the text would grow without end; it is never applied.
bool IsApplicableKeyword(QStringView keyword);

// Builds the table from the decoded file text. Lines end at CR LF only; the
// first line is a caption and is never read; a line that is empty after
// trimming its blanks is skipped; every other line is
// "keyword,level,kind[,ignored...]". A row whose keyword is not applicable is
// checked like any other row and then left out.
// Throws Error 6 for 32,768 lines or more, 9 for a row of fewer than three
// fields, 13 for a level or kind that is not a number, 6 for one outside
// 16 bits (or a row of more than 32,767 fields).
ArrangeTable ParseArrangeTable(QStringView fileText);

// The level or kind field as a 16-bit number: blanks around it allowed,
// fractions rounded half to even. Throws Error 13 or 6.
qint16 ArrangeNumberFromField(QStringView field);

} // namespace brindle
