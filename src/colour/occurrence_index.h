#pragma once

#include <QString>
#include <QStringView>

#include <span>
#include <vector>

namespace brindle::colour {

// The positions of a text where one of a set of keywords may start, grouped
// by a hash of the keyword's first two units (two-unit keywords) or three
// (longer ones), compared in lower case. Each keyword is then looked for only
// where its start stands instead of by a scan of the whole text; positions
// that no keyword's start hashes like are not kept at all.
class KeywordStartIndex {
public:
    // `needles` are lowered; those shorter than two units are not indexed.
    KeywordStartIndex(QStringView text, const std::vector<QString>& needles);

    // Ascending positions whose start hashes like the needle's: a superset of
    // its occurrences. The needle must be one of those given, of two or more
    // units.
    std::span<const qint32> Candidates(QStringView needle) const;

private:
    static constexpr quint32 kBuckets = 1u << 16;
    static constexpr quint32 kKinds = 2; // two-unit and three-unit keys
    static quint32 PairBucket(char16_t a, char16_t b) {
        return ((quint32(a) << 7) ^ quint32(b)) & (kBuckets - 1);
    }
    static quint32 TripleBucket(char16_t a, char16_t b, char16_t c) {
        return ((quint32(a) << 10) ^ (quint32(b) << 5) ^ quint32(c) ^ (quint32(a) >> 6)) &
               (kBuckets - 1);
    }
    // Key number: kind * kBuckets + bucket.
    static quint32 KeyOf(QStringView needle);
    bool Wanted(quint32 key) const { return m_wanted[key / 64] & (quint64(1) << (key % 64)); }
    std::size_t SlotOf(quint32 key) const {
        return m_slotOf[key] + (key >= kBuckets ? m_firstTripleSlot : 0);
    }

    std::vector<quint64> m_wanted; // one bit per key
    std::vector<quint16> m_slotOf; // key -> slot within its kind, for wanted keys
    std::size_t m_firstTripleSlot = 0;
    std::vector<qint32> m_slotStart; // slot -> offset into m_positions
    std::vector<qint32> m_positions;
};

// Walks the occurrences of one lowered needle in a text, ignoring case the
// way LowerPerChar does, left to right; overlapping occurrences all count.
class OccurrenceFinder {
public:
    // Needles of two or more units are found through `index`; a single unit
    // by a plain scan.
    OccurrenceFinder(QStringView text, const KeywordStartIndex& index, QStringView needle);

    // The first occurrence at or after `from`, or -1. `from` never decreases
    // from one call to the next.
    qsizetype Next(qsizetype from);

private:
    bool MatchesAt(qsizetype at) const;

    QStringView m_text;
    QStringView m_needle;
    std::span<const qint32> m_candidates;
    std::size_t m_cursor = 0;
};

} // namespace brindle::colour
