#pragma once

#include "colour/occurrence_index.h"

#include <QString>
#include <QStringView>

#include <map>
#include <vector>

namespace brindle::colour {

// True when an occurrence of the (lowered) keyword could include a character
// of an inserted switch "\cfN ": it holds a backslash, starts with the tail of
// a switch ("0 ", "f1 ", " " ...) or lies inside one ("cf", "2" ...).
// Such entries cannot be planned and are applied to the written-out text.
bool CanMatchInsideSwitches(QStringView loweredKeyword);

// Applies a run of entries for which CanMatchInsideSwitches is false to a
// fixed text without rewriting it per entry. Every occurrence of such a
// keyword in the coloured text consists of characters of the original text
// with no switch inside, so the coloured text is the original with switches
// in the gaps between characters; the plan records those per gap and writes
// the text once at the end. Gap g lies in front of character g (gap n at the
// end). A gap holding switches shows a blank to its left (every switch ends
// with one) and a backslash to its right, both delimiters.
class SwitchPlan {
public:
    // `text` must outlive the plan; `keywords` are the lowered keywords of
    // the run, in any order (they choose what to index).
    SwitchPlan(QStringView text, const std::vector<QString>& keywords);

    // Colours the entry's occurrences exactly as the search over the written
    // text would: left to right, resuming after a coloured occurrence at the
    // character that followed it, and after any other at one character more.
    void Apply(QStringView loweredKeyword, qint16 colorNo);

    // The text with every recorded switch.
    QString Write() const;

private:
    // Most gaps hold at most a few closers and one opener; those fit in the
    // gap's byte. Busier gaps move to m_busy.
    static constexpr quint8 kClosersMask = 0x03;
    static constexpr quint8 kHasOpener = 0x04;
    static constexpr int kOpenerShift = 3; // two bits: the switch 0 to 3
    static constexpr quint8 kBusy = 0x80;
    struct BusyGap {
        quint32 closers = 0;         // "\cf0 " switches; they come first in the gap
        std::vector<quint8> openers; // switch numbers, in the order applied
    };

    bool HasSwitches(qsizetype gap) const { return m_gaps[std::size_t(gap)] != 0; }
    bool SplitBySwitch(qsizetype start, qsizetype length) const;
    BusyGap& MakeBusy(qsizetype gap);
    void AddOpener(qsizetype gap, quint8 switchNo);
    void AddCloser(qsizetype gap);
    void Wrap(qsizetype start, qsizetype end, qint16 colorNo);
    char16_t* WriteGap(char16_t* out, qsizetype gap) const;

    QStringView m_text;
    KeywordStartIndex m_starts;
    std::vector<quint8> m_gaps;
    std::map<qsizetype, BusyGap> m_busy;
    qsizetype m_inserted = 0; // characters the switches add
};

} // namespace brindle::colour
