#include "colour/incremental_colouring.h"

namespace brindle::colour {

IncrementalColouring::IncrementalColouring(const KeywordTable& table, qint16 tabSpaceNum)
    : m_keywords(table), m_tabSpaceNum(tabSpaceNum) {
    Reset({});
}

void IncrementalColouring::Colour(Paragraph& p, bool startsInBlock) {
    ColourParagraph(p.source, startsInBlock, m_keywords, m_tabSpaceNum, m_scratch);
    // Exactly sized: one allocation per paragraph that has colours at all.
    if (p.runs.size() != m_scratch.runs.size() || p.runs != m_scratch.runs) {
        p.runs.assign(m_scratch.runs.begin(), m_scratch.runs.end());
    }
    p.startsInBlock = startsInBlock;
    p.endsInBlock = m_scratch.endsInBlockComment;
    p.needsFullPass = m_scratch.needsFullPass;
}

void IncrementalColouring::Reset(const QStringList& paragraphs) {
    std::vector<Paragraph> all(std::size_t(std::max<qsizetype>(1, paragraphs.size())));
    bool state = false;
    m_needingFullPass = 0;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        Paragraph& p = all[std::size_t(i)];
        p.source = paragraphs[i];
        Colour(p, state);
        state = p.endsInBlock;
        m_needingFullPass += p.needsFullPass ? 1 : 0;
    }
    if (paragraphs.isEmpty()) {
        Colour(all.front(), false);
    }
    m_paragraphs.Assign(std::move(all));
    m_whole.clear();
}

void IncrementalColouring::Reset(const QString& text, QChar separator) {
    // The old paragraphs may point into the old text: it goes after them.
    const QString whole = text;
    std::vector<Paragraph> all(std::size_t(whole.count(separator) + 1));
    bool state = false;
    m_needingFullPass = 0;
    qsizetype from = 0;
    for (Paragraph& p : all) {
        qsizetype to = whole.indexOf(separator, from);
        if (to < 0)
            to = whole.size();
        p.source = QString::fromRawData(whole.constData() + from, to - from);
        Colour(p, state);
        state = p.endsInBlock;
        m_needingFullPass += p.needsFullPass ? 1 : 0;
        from = to + 1;
    }
    m_paragraphs.Assign(std::move(all));
    m_whole = whole;
}

IncrementalColouring::Changed IncrementalColouring::Update(qsizetype first, qsizetype removed,
                                                           const QStringList& added) {
    const qsizetype count = m_paragraphs.size();
    first = std::clamp<qsizetype>(first, 0, count);
    removed = std::clamp<qsizetype>(removed, 0, count - first);

    bool state = first > 0 && m_paragraphs[first - 1].endsInBlock;
    if (removed > 0) {
        auto old = m_paragraphs.At(first);
        for (qsizetype i = 0; i < removed; ++i, old.Next()) {
            m_needingFullPass -= (*old).needsFullPass ? 1 : 0;
        }
    }
    std::vector<Paragraph> fresh(std::size_t(added.size()));
    for (qsizetype i = 0; i < added.size(); ++i) {
        Paragraph& p = fresh[std::size_t(i)];
        p.source = added[i];
        Colour(p, state);
        state = p.endsInBlock;
        m_needingFullPass += p.needsFullPass ? 1 : 0;
    }
    qsizetype changedEnd = first + added.size();
    m_paragraphs.Replace(first, removed, std::move(fresh));
    if (m_paragraphs.size() == 0) {
        std::vector<Paragraph> one(1);
        Colour(one.front(), false);
        m_paragraphs.Replace(0, 0, std::move(one));
        return {0, 1};
    }

    // Onward until a paragraph starts in the state it had: from there on
    // nothing differs.
    for (auto next = m_paragraphs.At(changedEnd); !next.AtEnd(); next.Next()) {
        Paragraph& p = *next;
        if (p.startsInBlock == state) {
            break;
        }
        m_needingFullPass -= p.needsFullPass ? 1 : 0;
        Colour(p, state);
        m_needingFullPass += p.needsFullPass ? 1 : 0;
        state = p.endsInBlock;
        ++changedEnd;
    }
    return {first, changedEnd - first};
}

QString IncrementalColouring::Text(qsizetype i) const {
    return ExpandTabs(m_paragraphs[i].source, m_tabSpaceNum);
}

rtf::RtfContent IncrementalColouring::Content() const {
    rtf::RtfContent content;
    qsizetype length = 0;
    m_paragraphs.ForEach([&](const Paragraph& p) { length += p.source.size() + 1; });
    content.text.reserve(length);
    const auto add = [&](int start, int length, int colour) {
        auto& runs = content.runs;
        if (!runs.empty() && runs.back().colour == colour &&
            runs.back().start + runs.back().length == start) {
            runs.back().length += length;
        } else {
            runs.push_back({start, length, colour});
        }
    };
    bool firstParagraph = true;
    bool breakInComment = false;
    m_paragraphs.ForEach([&](const Paragraph& p) {
        if (!firstParagraph) {
            // The line break takes the colour in force at the paragraph mark.
            if (breakInComment) {
                add(int(content.text.size()), 1, 4);
            }
            content.text.append(u'\n');
        }
        firstParagraph = false;
        const int offset = int(content.text.size());
        content.text.append(ExpandTabs(p.source, m_tabSpaceNum));
        for (const rtf::ColourRun& run : p.runs) {
            add(offset + run.start, run.length, run.colour);
        }
        breakInComment = p.endsInBlock;
    });
    return content;
}

} // namespace brindle::colour
