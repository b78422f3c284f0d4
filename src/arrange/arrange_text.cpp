#include "arrange/arrange_text.h"

#include "arrange/arrange_steps.h"
#include "core/error.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace brindle {

namespace {

using arrange::IndentWidth;
using arrange::IsDelimiter;

constexpr char16_t kBlank = u' ';
constexpr char16_t kCr = u'\r';

// Positions in the working text are 32-bit numbers.
constexpr qsizetype kMaxTextLength = std::numeric_limits<qint32>::max();

// One table entry worked through the text.
//
// Rebuilding the whole text at every occurrence costs time in proportion to
// the text for each occurrence. Every rebuild only changes the text near the
// occurrence (and strips blanks at its two ends), and the search never goes
// back before the start of the rebuilt part, so the text being rebuilt is kept
// as `m_out`, which is written, followed by the unread rest src[q, end) of
// the text the entry started from, which is only read. A lowered copy is kept
// beside each, so no search lowers the text again.
//
// Positions are 0-based indices into that virtual text.
class EntryPass {
public:
    // out and outLow are buffers to write into, emptied first: the text of an
    // earlier pass, so that every pass does not take (and fault in) fresh
    // memory for a text of the same size.
    EntryPass(const QString& text, const QString& lower, QString&& out, QString&& outLow)
        : m_src(text), m_srcLow(lower), m_end(text.size()), m_out(std::move(out)),
          m_outLow(std::move(outLow)) {
        m_out.truncate(0);
        m_outLow.truncate(0);
    }

    // Works the entry through the text; true when anything changed.
    bool Run(const KeywordArrange& entry);

    // The rebuilt text and its lowered copy; only after Run returned true.
    void Take(QString& text, QString& lower);
    // The buffers back, unused; only after Run returned false.
    void Release(QString& out, QString& outLow) {
        out = std::move(m_out);
        outLow = std::move(m_outLow);
    }

private:
    qsizetype Size() const { return m_out.size() + (m_end - m_q); }
    char16_t At(qsizetype i) const {
        const qsizetype outSize = m_out.size();
        return i < outSize ? m_out[i].unicode() : m_src[m_q + i - outSize].unicode();
    }
    char16_t LowAt(qsizetype i) const {
        const qsizetype outSize = m_out.size();
        return i < outSize ? m_outLow[i].unicode() : m_srcLow[m_q + i - outSize].unicode();
    }
    // The first position in [from, limit) that does not hold c, or limit.
    qsizetype SkipForward(qsizetype from, qsizetype limit, char16_t c) const {
        while (from < limit && At(from) == c) {
            ++from;
        }
        return from;
    }
    // The end of [limit, to) once the run of c before `to` is left out.
    qsizetype SkipBack(qsizetype to, qsizetype limit, char16_t c) const {
        while (to > limit && At(to - 1) == c) {
            --to;
        }
        return to;
    }
    // The character at i as a text of one, or empty outside the text.
    QStringView CharText(qsizetype i) const;
    // The first occurrence of the lowered keyword at or after `from`, or -1.
    qsizetype Find(QStringView keyLow, qsizetype from) const;
    // Rebuilds the text around the occurrence [p, m).
    void BreakAtKeyword(const KeywordArrange& entry, qsizetype p, qsizetype m);

    void Append(QChar c) {
        m_out.append(c);
        m_outLow.append(c);
    }
    void AppendBlanks(qsizetype count) {
        m_out.resize(m_out.size() + count, QChar(kBlank));
        m_outLow.resize(m_outLow.size() + count, QChar(kBlank));
    }
    void AppendSource(qsizetype from, qsizetype to) {
        m_out.append(m_src.sliced(from, to - from));
        m_outLow.append(m_srcLow.sliced(from, to - from));
    }
    // Copies [from, to) of the virtual text, in its own case and lowered.
    void CopyRange(qsizetype from, qsizetype to, QString& text, QString& lower) const;

    QStringView m_src;
    QStringView m_srcLow;
    qsizetype m_q = 0;
    qsizetype m_end;
    QString m_out;
    QString m_outLow;
    bool m_changed = false;
};

QStringView EntryPass::CharText(qsizetype i) const {
    if (i < 0 || i >= Size()) {
        return {};
    }
    const qsizetype outSize = m_out.size();
    return i < outSize ? QStringView(m_out).sliced(i, 1) : m_src.sliced(m_q + i - outSize, 1);
}

qsizetype EntryPass::Find(QStringView keyLow, qsizetype from) const {
    const qsizetype size = Size();
    const qsizetype length = keyLow.size();
    const qsizetype outSize = m_out.size();
    // The part of the text that was written by earlier rebuilds is short (the
    // keyword, its line break and an indentation), and an occurrence may run
    // from it into the unread rest: compare there one start at a time.
    for (qsizetype i = from; i < outSize && i + length <= size; ++i) {
        qsizetype j = 0;
        while (j < length && LowAt(i + j) == keyLow[j].unicode()) {
            ++j;
        }
        if (j == length) {
            return i;
        }
    }
    const qsizetype srcFrom = m_q + std::max<qsizetype>(from - outSize, 0);
    if (srcFrom >= m_end) {
        return -1;
    }
    const qsizetype found = m_srcLow.first(m_end).indexOf(keyLow, srcFrom);
    return found < 0 ? -1 : outSize + (found - m_q);
}

void EntryPass::CopyRange(qsizetype from, qsizetype to, QString& text, QString& lower) const {
    text.resize(to - from);
    lower.resize(to - from);
    for (qsizetype i = from; i < to; ++i) {
        text[i - from] = QChar(At(i));
        lower[i - from] = QChar(LowAt(i));
    }
}

bool EntryPass::Run(const KeywordArrange& entry) {
    if (!IsApplicableKeyword(entry.Keyword)) {
        return false;
    }
    const QString keyLow = arrange::LowerPerChar(entry.Keyword);
    const qsizetype length = keyLow.size();
    qsizetype from = 0;
    // A search never starts at or after the last character.
    while (from < Size() - 1) {
        const qsizetype p = Find(keyLow, from);
        if (p < 0) {
            break;
        }
        const qsizetype m = p + length;
        if (entry.Kind == KindWord && !(IsDelimiter(CharText(m)) && IsDelimiter(CharText(p - 1)))) {
            from = m + 1;
            continue;
        }
        BreakAtKeyword(entry, p, m);
        // Counted in the text as it was before the rebuild.
        from = m + 1;
    }
    return m_changed;
}

void EntryPass::BreakAtKeyword(const KeywordArrange& entry, qsizetype p, qsizetype m) {
    const qsizetype size = Size();
    const qsizetype outSize = m_out.size();

    // The text after the keyword [a, z): trimmed of blanks, of the line breaks
    // at its start, and of blanks again. Its end is the end of the whole text,
    // so the blanks there go too.
    const bool afterEmpty = m >= size;
    qsizetype a = size;
    qsizetype z = size;
    if (!afterEmpty) {
        z = SkipBack(size, m, kBlank);
        a = SkipForward(SkipForward(SkipForward(m, z, kBlank), z, kCr), z, kBlank);
    }
    // The text before it [h, b), trimmed of blanks as one piece, so blanks at
    // the very start of the text go as well.
    const qsizetype h = SkipForward(0, p, kBlank);
    const qsizetype b = SkipBack(p, h, kBlank);
    // The keyword as the query writes it [ws, we), trimmed of blanks.
    const qsizetype ws = SkipForward(p, m, kBlank);
    const qsizetype we = SkipBack(m, ws, kBlank);

    const qsizetype wordIndent = IndentWidth(entry.Level - 1);
    const qsizetype afterIndent = afterEmpty ? 0 : IndentWidth(entry.Level);
    const qsizetype newSize =
        (b - h) + 1 + wordIndent + (we - ws) + 1 + (afterEmpty ? 0 : afterIndent + (z - a));
    if (newSize > kMaxTextLength) {
        throw OverflowError();
    }

    // What the rebuild keeps from the written part lies after `b`: copy it
    // before that part is cut back.
    QString word;
    QString wordLow;
    CopyRange(ws, we, word, wordLow);
    QString tail;
    QString tailLow;
    if (!afterEmpty && a < outSize) {
        CopyRange(a, std::min(z, outSize), tail, tailLow);
    }
    qsizetype newQ = m_end;
    qsizetype newEnd = m_end;
    if (!afterEmpty && z > outSize) {
        newQ = m_q + (std::max(a, outSize) - outSize);
        newEnd = m_q + (z - outSize);
    }

    if (b <= outSize) {
        m_out.truncate(b);
        m_outLow.truncate(b);
    } else {
        if (m_out.isEmpty() && m_out.capacity() < size + size / 4) {
            m_out.reserve(size + size / 4 + 64);
            m_outLow.reserve(size + size / 4 + 64);
        }
        AppendSource(m_q, m_q + (b - outSize));
    }
    if (h > 0) {
        m_out.remove(0, h);
        m_outLow.remove(0, h);
    }
    if (entry.Kind == KindWord && !m_out.isEmpty() && m_out.back() != QChar(kCr)) {
        Append(QChar(kCr));
    }
    AppendBlanks(wordIndent);
    m_out.append(word);
    m_outLow.append(wordLow);
    Append(QChar(kCr));
    if (!afterEmpty) {
        AppendBlanks(afterIndent);
        m_out.append(tail);
        m_outLow.append(tailLow);
    }
    m_q = newQ;
    m_end = newEnd;
    m_changed = true;
}

void EntryPass::Take(QString& text, QString& lower) {
    AppendSource(m_q, m_end);
    text = std::move(m_out);
    lower = std::move(m_outLow);
}

} // namespace

QString ArrangeText(QStringView query, const ArrangeTable& table) {
    if (table.empty()) {
        throw SubscriptError();
    }
    QString text = arrange::NormalizeBreaks(query);
    QString lower = arrange::LowerPerChar(text);
    // The text a pass starts from is where the pass after it writes.
    QString spare;
    QString spareLow;
    for (const KeywordArrange& entry : table) {
        EntryPass pass(text, lower, std::move(spare), std::move(spareLow));
        if (pass.Run(entry)) {
            QString rebuilt;
            QString rebuiltLow;
            pass.Take(rebuilt, rebuiltLow);
            spare = std::exchange(text, std::move(rebuilt));
            spareLow = std::exchange(lower, std::move(rebuiltLow));
        } else {
            pass.Release(spare, spareLow);
        }
    }
    return arrange::RestoreBreaks(text);
}

} // namespace brindle
