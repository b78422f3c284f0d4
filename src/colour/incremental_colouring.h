#pragma once

#include "colour/chunked_sequence.h"
#include "colour/keyword_table.h"
#include "colour/paragraph_colouring.h"
#include "colour/paragraph_keywords.h"
#include "editor/rtf_document.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace brindle::colour {

// The colours of a whole document kept per paragraph, so that an edit costs
// what it touches. Each paragraph keeps whether it starts inside a block
// comment; after an edit the paragraphs are coloured again from the first
// changed one on until one starts in the same state as before, and all later
// ones stand as they were.
//
// Only for a table and header for which LocalColouringExact holds; while
// NeedsFullPass() is true the document holds a paragraph whose colours only
// the full pass gives, and the caller colours the whole document that way.
class IncrementalColouring {
public:
    explicit IncrementalColouring(const KeywordTable& table, qint16 tabSpaceNum = 4);

    // Colours a whole document. A document has at least one paragraph: an
    // empty list stands for one empty paragraph.
    void Reset(const QStringList& paragraphs);
    // The same for a whole document given as one text, its paragraphs
    // separated by `separator`. The paragraphs point into a shared copy of
    // `text` kept here, so a long document costs no string of its own per
    // paragraph.
    void Reset(const QString& text, QChar separator);

    // The paragraphs, in the numbering after an update, whose text or
    // colours changed: the new ones and those after them coloured again.
    struct Changed {
        qsizetype first = 0;
        qsizetype count = 0;
        friend bool operator==(const Changed&, const Changed&) = default;
    };

    // Replaces paragraphs [first, first + removed) by `added`. Removing every
    // paragraph and adding none leaves one empty paragraph.
    Changed Update(qsizetype first, qsizetype removed, const QStringList& added);

    qsizetype ParagraphCount() const { return m_paragraphs.size(); }
    qint16 TabSpaceNum() const { return m_tabSpaceNum; }
    // The paragraph's text as shown: tabs turned into blanks.
    QString Text(qsizetype i) const;
    // Whether Text(i) differs from the paragraph's text as given.
    bool HasTabs(qsizetype i) const { return m_paragraphs[i].source.contains(u'\t'); }
    const std::vector<rtf::ColourRun>& Runs(qsizetype i) const { return m_paragraphs[i].runs; }
    bool StartsInBlockComment(qsizetype i) const { return m_paragraphs[i].startsInBlock; }
    bool EndsInBlockComment(qsizetype i) const { return m_paragraphs[i].endsInBlock; }

    bool NeedsFullPass() const { return m_needingFullPass > 0; }

    // The whole document as rtf::ReadRtf gives the full pass's result: the
    // text with '\n' between paragraphs and its runs (no colour table).
    rtf::RtfContent Content() const;

private:
    struct Paragraph {
        QString source; // as given, tabs included
        std::vector<rtf::ColourRun> runs;
        bool startsInBlock = false;
        bool endsInBlock = false;
        bool needsFullPass = false;
    };

    // Colours `p` from its source for the given starting state.
    void Colour(Paragraph& p, bool startsInBlock);

    // What the paragraphs of the last Reset(text, separator) point into.
    QString m_whole;
    ParagraphKeywords m_keywords;
    qint16 m_tabSpaceNum;
    ChunkedSequence<Paragraph> m_paragraphs;
    qsizetype m_needingFullPass = 0;
    ParagraphColours m_scratch; // reused so that colouring allocates only the result
};

} // namespace brindle::colour
