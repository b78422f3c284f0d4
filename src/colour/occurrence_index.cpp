#include "colour/occurrence_index.h"

#include "colour/lower_text.h"

namespace brindle::colour {

quint32 KeywordStartIndex::KeyOf(QStringView needle) {
    const char16_t* u = needle.utf16();
    return needle.size() == 2 ? PairBucket(u[0], u[1]) : kBuckets + TripleBucket(u[0], u[1], u[2]);
}

KeywordStartIndex::KeywordStartIndex(QStringView text, const std::vector<QString>& needles)
    : m_wanted(kKinds * kBuckets / 64, 0), m_slotOf(kKinds * kBuckets, 0) {
    // Slots are numbered per kind, pair keys first, so each fits 16 bits.
    std::vector<quint32> pairKeys;
    std::vector<quint32> tripleKeys;
    for (const QString& needle : needles) {
        if (needle.size() < 2) {
            continue;
        }
        const quint32 key = KeyOf(needle);
        if (!Wanted(key)) {
            m_wanted[key / 64] |= quint64(1) << (key % 64);
            std::vector<quint32>& keys = key < kBuckets ? pairKeys : tripleKeys;
            m_slotOf[key] = quint16(keys.size());
            keys.push_back(key);
        }
    }
    m_firstTripleSlot = pairKeys.size();
    m_slotStart.assign(pairKeys.size() + tripleKeys.size() + 1, 0);
    if (m_slotStart.size() == 1 || text.size() < 2) {
        return;
    }

    // Two passes over the text in lower case: count the wanted positions per
    // slot, then place them (a counting sort without a list of hits).
    const char16_t* units = text.utf16();
    const qsizetype n = text.size();
    const auto forEachHit = [&](auto&& visit) {
        char16_t a = LowerChar(units[0]);
        char16_t b = LowerChar(units[1]);
        for (qsizetype i = 0; i + 1 < n; ++i) {
            const quint32 pair = PairBucket(a, b);
            if (Wanted(pair)) {
                visit(i, SlotOf(pair));
            }
            if (i + 2 < n) {
                const char16_t c = LowerChar(units[i + 2]);
                const quint32 triple = kBuckets + TripleBucket(a, b, c);
                if (Wanted(triple)) {
                    visit(i, SlotOf(triple));
                }
                a = b;
                b = c;
            }
        }
    };
    forEachHit([&](qsizetype, std::size_t slot) { ++m_slotStart[slot + 1]; });
    for (std::size_t s = 1; s < m_slotStart.size(); ++s) {
        m_slotStart[s] += m_slotStart[s - 1];
    }
    m_positions.resize(std::size_t(m_slotStart.back()));
    std::vector<qint32> next(m_slotStart.begin(), m_slotStart.end() - 1);
    forEachHit(
        [&](qsizetype i, std::size_t slot) { m_positions[std::size_t(next[slot]++)] = qint32(i); });
}

std::span<const qint32> KeywordStartIndex::Candidates(QStringView needle) const {
    const quint32 key = KeyOf(needle);
    if (!Wanted(key) || m_positions.empty()) {
        return {};
    }
    const std::size_t slot = SlotOf(key);
    const auto begin = std::size_t(m_slotStart[slot]);
    const auto end = std::size_t(m_slotStart[slot + 1]);
    return std::span<const qint32>(m_positions).subspan(begin, end - begin);
}

OccurrenceFinder::OccurrenceFinder(QStringView text, const KeywordStartIndex& index,
                                   QStringView needle)
    : m_text(text), m_needle(needle) {
    if (needle.size() >= 2) {
        m_candidates = index.Candidates(needle);
    }
}

bool OccurrenceFinder::MatchesAt(qsizetype at) const {
    const char16_t* units = m_text.utf16() + at;
    const char16_t* wanted = m_needle.utf16();
    for (qsizetype k = 0; k < m_needle.size(); ++k) {
        if (LowerChar(units[k]) != wanted[k]) {
            return false;
        }
    }
    return true;
}

qsizetype OccurrenceFinder::Next(qsizetype from) {
    const qsizetype last = m_text.size() - m_needle.size();
    if (m_needle.size() < 2) {
        for (qsizetype at = from; at <= last; ++at) {
            if (MatchesAt(at)) {
                return at;
            }
        }
        return -1;
    }
    while (m_cursor < m_candidates.size()) {
        const qsizetype at = m_candidates[m_cursor];
        if (at > last) {
            m_cursor = m_candidates.size(); // the rest lie even further right
            break;
        }
        if (at >= from && MatchesAt(at)) {
            return at; // kept: the caller's next `from` lies beyond it
        }
        ++m_cursor;
    }
    return -1;
}

} // namespace brindle::colour
