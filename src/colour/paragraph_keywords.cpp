#include "colour/paragraph_keywords.h"

#include "colour/lower_text.h"

#include <bit>

namespace brindle::colour {

namespace {

// FNV-1a over the lowered units.
quint32 HashLowered(QStringView word) {
    quint32 hash = 2166136261u;
    for (const QChar c : word) {
        hash = (hash ^ LowerChar(c.unicode())) * 16777619u;
    }
    return hash;
}

int ColourIndex(qint16 colorNo) {
    return colorNo >= 1 && colorNo <= 3 ? colorNo : 0;
}

} // namespace

ParagraphKeywords::ParagraphKeywords(const KeywordTable& table) {
    const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(16, table.size() * 2 + 1));
    m_slots.resize(wanted);
    for (const KeywordColor& entry : table) {
        if (entry.Keyword.isEmpty()) {
            continue; // the full pass passes over an empty keyword too
        }
        const QString lowered = LowerPerChar(entry.Keyword);
        const quint32 hash = HashLowered(lowered);
        if (const Slot* found = Find(lowered, hash)) {
            // Listed again: the later entry's colour is the one that shows.
            m_slots[std::size_t(found - m_slots.data())].colour = ColourIndex(entry.ColorNo);
            continue;
        }
        std::size_t i = hash & (m_slots.size() - 1);
        while (m_slots[i].length != 0) {
            i = (i + 1) & (m_slots.size() - 1);
        }
        m_slots[i] = {hash, qint32(m_chars.size()), qint32(lowered.size()),
                      ColourIndex(entry.ColorNo)};
        m_chars.append(lowered);
        m_longest = std::max(m_longest, lowered.size());
    }
}

const ParagraphKeywords::Slot* ParagraphKeywords::Find(QStringView word, quint32 hash) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.length == 0) {
            return nullptr;
        }
        if (slot.hash != hash || slot.length != word.size()) {
            continue;
        }
        const char16_t* keyword = reinterpret_cast<const char16_t*>(m_chars.utf16()) + slot.start;
        qsizetype k = 0;
        while (k < word.size() && LowerChar(word[k].unicode()) == keyword[k]) {
            ++k;
        }
        if (k == word.size()) {
            return &slot;
        }
    }
}

int ParagraphKeywords::ColourOf(QStringView word) const {
    if (word.isEmpty() || word.size() > m_longest) {
        return 0;
    }
    const Slot* slot = Find(word, HashLowered(word));
    return slot ? slot->colour : 0;
}

} // namespace brindle::colour
