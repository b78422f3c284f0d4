#pragma once

#include "colour/keyword_table.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace brindle::colour {

// The keyword table as a lookup of whole words: each lowered keyword with the
// colour index its last entry shows (a keyword listed twice ends up wrapped
// in both switches, and the inner one, the later entry's, is what shows).
// Built once per keyword file content; the look-up allocates nothing.
class ParagraphKeywords {
public:
    explicit ParagraphKeywords(const KeywordTable& table);

    // The colour index (1 to 3) of a keyword written `word` in any case, 0
    // for a keyword of the default colour or a word that is no keyword.
    int ColourOf(QStringView word) const;

private:
    struct Slot {
        quint32 hash = 0;
        qint32 start = 0;  // into m_chars
        qint32 length = 0; // 0: free
        qint32 colour = 0;
    };

    const Slot* Find(QStringView word, quint32 hash) const;

    std::vector<Slot> m_slots; // open addressing, a power of two long
    QString m_chars;           // the lowered keywords one after the other
    qsizetype m_longest = 0;
};

} // namespace brindle::colour
