#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace brindle {

// One line of the colour keyword table.
struct KeywordColor {
    QString Keyword; // exactly as in the file: not trimmed, may hold blanks
    qint16 ColorNo = 0;
    friend bool operator==(const KeywordColor&, const KeywordColor&) = default;
};

// In file order; the colouriser applies the entries one after the other.
using KeywordTable = std::vector<KeywordColor>;

// Builds the table from the decoded file text. Lines end at CR LF only; the
// first line is a caption and is never read; empty lines are skipped; every
// other line is "keyword,colour class[,ignored...]". A line whose keyword is
// empty is skipped after its colour class has been checked, because an empty
// keyword would match everywhere.
// Throws Error 9 for a line with one field, 13 for a class that is not a
// number, 6 for a class outside 16 bits or a line of more than 32,767 fields.
KeywordTable ParseKeywordTable(QStringView fileText);

// The colour class field as a 16-bit number: blanks around it allowed,
// fractions rounded half to even. Throws Error 13 or 6.
qint16 ColorNoFromField(QStringView field);

} // namespace brindle
