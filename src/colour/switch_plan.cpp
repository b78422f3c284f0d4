#include "colour/switch_plan.h"

#include "colour/colour_passes.h"

#include <algorithm>

namespace brindle::colour {

namespace {

// The switch a class is written with: \cf1 to \cf3, or \cf0.
quint8 SwitchNo(qint16 colorNo) {
    return colorNo >= 1 && colorNo <= 3 ? quint8(colorNo) : 0;
}

// Copies a piece of text to `out` and returns the position after it.
char16_t* Put(char16_t* out, QStringView piece) {
    return std::copy(piece.utf16(), piece.utf16() + piece.size(), out);
}

} // namespace

bool CanMatchInsideSwitches(QStringView loweredKeyword) {
    if (loweredKeyword.contains(u'\\')) {
        return true;
    }
    static constexpr QStringView kSwitches[] = {u"\\cf0 ", u"\\cf1 ", u"\\cf2 ", u"\\cf3 ",
                                                u"\\cf4 "};
    for (const QStringView colourSwitch : kSwitches) {
        if (colourSwitch.contains(loweredKeyword)) {
            return true;
        }
        for (qsizetype tail = 1; tail < colourSwitch.size(); ++tail) {
            if (loweredKeyword.startsWith(colourSwitch.last(tail))) {
                return true;
            }
        }
    }
    return false;
}

SwitchPlan::SwitchPlan(QStringView text, const std::vector<QString>& keywords)
    : m_text(text), m_starts(text, keywords), m_gaps(std::size_t(text.size()) + 1, 0) {}

bool SwitchPlan::SplitBySwitch(qsizetype start, qsizetype length) const {
    const auto first = m_gaps.begin() + start + 1;
    return std::any_of(first, first + (length - 1), [](quint8 gap) { return gap != 0; });
}

SwitchPlan::BusyGap& SwitchPlan::MakeBusy(qsizetype gap) {
    quint8& bits = m_gaps[std::size_t(gap)];
    BusyGap& busy = m_busy[gap];
    if (!(bits & kBusy)) {
        busy.closers = bits & kClosersMask;
        if (bits & kHasOpener) {
            busy.openers.push_back(quint8(bits >> kOpenerShift) & 0x03);
        }
        bits = kBusy;
    }
    return busy;
}

void SwitchPlan::AddOpener(qsizetype gap, quint8 switchNo) {
    quint8& bits = m_gaps[std::size_t(gap)];
    if (!(bits & (kBusy | kHasOpener))) {
        bits |= quint8(kHasOpener | (switchNo << kOpenerShift));
        return;
    }
    // Later openers stand nearer the word, so they go after the earlier ones.
    MakeBusy(gap).openers.push_back(switchNo);
}

void SwitchPlan::AddCloser(qsizetype gap) {
    quint8& bits = m_gaps[std::size_t(gap)];
    if (!(bits & kBusy) && (bits & kClosersMask) < kClosersMask) {
        ++bits;
        return;
    }
    ++MakeBusy(gap).closers;
}

void SwitchPlan::Wrap(qsizetype start, qsizetype end, qint16 colorNo) {
    AddOpener(start, SwitchNo(colorNo));
    // Closers go right after the word, before what the gap held; all closers
    // are alike, so counting them is enough.
    AddCloser(end);
    m_inserted += ColourSwitch(colorNo).size() + kDefaultSwitch.size();
}

void SwitchPlan::Apply(QStringView loweredKeyword, qint16 colorNo) {
    const qsizetype n = m_text.size();
    const qsizetype length = loweredKeyword.size();
    if (length == 0) {
        return;
    }
    OccurrenceFinder finder(m_text, m_starts, loweredKeyword);
    // The search over the written text stops when its start reaches the last
    // character. For a planned keyword that matters only when the text ends
    // with a bare character and the search would start exactly on it.
    const bool endBare = !HasSwitches(n);
    qsizetype from = 0;            // next search start, as a character position
    bool onChar = !HasSwitches(0); // false: the start lies inside gap `from`
    while (from < n && !(onChar && from == n - 1 && endBare)) {
        qsizetype start = finder.Next(from);
        while (start >= 0 && SplitBySwitch(start, length)) {
            start = finder.Next(start + 1);
        }
        if (start < 0) {
            break;
        }
        const qsizetype end = start + length;
        const bool before =
            start == 0 || HasSwitches(start) || IsDelimiter(m_text[start - 1].unicode());
        const bool endHadSwitches = HasSwitches(end);
        const bool after = end == n || endHadSwitches || IsDelimiter(m_text[end].unicode());
        if (before && after) {
            Wrap(start, end, colorNo);
            from = end; // the search goes on at what followed the occurrence
            onChar = !endHadSwitches;
        } else if (endHadSwitches) {
            // Skipping one character lands inside the gap's switches, which
            // this keyword cannot match.
            from = end;
            onChar = false;
        } else {
            from = end + 1;
            onChar = from <= n && !HasSwitches(from);
        }
    }
}

char16_t* SwitchPlan::WriteGap(char16_t* out, qsizetype gap) const {
    static constexpr QStringView kSwitches[] = {u"\\cf0 ", u"\\cf1 ", u"\\cf2 ", u"\\cf3 "};
    const quint8 bits = m_gaps[std::size_t(gap)];
    if (bits & kBusy) {
        const BusyGap& busy = m_busy.at(gap);
        for (quint32 c = 0; c < busy.closers; ++c) {
            out = Put(out, kDefaultSwitch);
        }
        for (const quint8 opener : busy.openers) {
            out = Put(out, kSwitches[opener]);
        }
        return out;
    }
    for (int c = bits & kClosersMask; c > 0; --c) {
        out = Put(out, kDefaultSwitch);
    }
    if (bits & kHasOpener) {
        out = Put(out, kSwitches[(bits >> kOpenerShift) & 0x03]);
    }
    return out;
}

QString SwitchPlan::Write() const {
    // The final length is known, so the text is written straight into place.
    QString written(m_text.size() + m_inserted, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(written.data());
    const auto nonEmpty = [](quint8 gap) {
        return gap != 0;
    };
    const auto begin = m_gaps.begin();
    qsizetype copied = 0;
    for (auto it = std::find_if(begin, m_gaps.end(), nonEmpty); it != m_gaps.end();
         it = std::find_if(it + 1, m_gaps.end(), nonEmpty)) {
        const qsizetype gap = it - begin;
        out = Put(out, m_text.sliced(copied, gap - copied));
        copied = gap;
        out = WriteGap(out, gap);
    }
    Put(out, m_text.sliced(copied));
    return written;
}

} // namespace brindle::colour
