#include "colour/paragraph_colouring.h"

#include "colour/colour_passes.h"
#include "colour/lower_text.h"

namespace brindle::colour {

namespace {

constexpr int kCommentColour = 4;

// Characters that, written into the document, make a keyword end: the
// delimiters, a tab (written "\tab ", then blanks) and a brace, which is
// written after an escaping backslash.
constexpr bool EndsWord(char16_t c) {
    return IsDelimiter(c) || c == u'\t' || c == u'{' || c == u'}';
}

// What may stand in front of a keyword. Not a brace: "\{" puts the brace
// itself before the word.
constexpr bool StartsWord(char16_t c) {
    return IsDelimiter(c) || c == u'\t';
}

// Characters no keyword may hold for the paragraphs to be coloured apart.
constexpr bool Unsafe(char16_t c) {
    return IsDelimiter(c) || c == u'{' || c == u'}' || c == u'\r' || c == u'\n' || c == u'-' ||
           c == u'/' || c == u'*';
}

bool SafeKeyword(const QString& keyword) {
    const QString lowered = LowerPerChar(keyword);
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        if (Unsafe(keyword[i].unicode()) || Unsafe(lowered[i].unicode())) {
            return false;
        }
    }
    static constexpr QStringView kInserted[] = {u"par", u"cf0", u"cf1", u"cf2", u"cf3", u"cf4"};
    for (const QStringView word : kInserted) {
        if (lowered == word) {
            return false;
        }
    }
    return true;
}

// A backslash of the user's text followed by what the full pass rewrites
// ("\tab", a colour switch) or takes for a paragraph mark ("\par "); written,
// the backslash is doubled and the rewrite breaks the escape. A tab counts as
// the blank it turns into. A raw CR is written "\'0d", whose backslash
// delimits words the plain text shows no reason for.
bool NeedsFullPass(QStringView p) {
    if (p.contains(u'\r')) {
        return true;
    }
    const auto blankAt = [&](qsizetype i) {
        return i < p.size() && (p[i] == u' ' || p[i] == u'\t');
    };
    for (qsizetype i = p.indexOf(u'\\'); i >= 0; i = p.indexOf(u'\\', i + 1)) {
        const QStringView rest = p.sliced(i + 1);
        if (rest.startsWith(u"tab")) {
            return true;
        }
        if (rest.size() >= 3 && rest[0] == u'c' && rest[1] == u'f' && rest[2] >= u'0' &&
            rest[2] <= u'4' && blankAt(i + 4)) {
            return true;
        }
        if (rest.startsWith(u"par") && blankAt(i + 4)) {
            return true;
        }
    }
    return false;
}

// Walks a paragraph once, left to right, writing its runs.
class ParagraphWalk {
public:
    ParagraphWalk(QStringView text, const ParagraphKeywords& keywords, qint16 tabSpaceNum,
                  std::vector<rtf::ColourRun>& runs)
        : m_p(reinterpret_cast<const char16_t*>(text.utf16())), m_n(text.size()),
          m_keywords(keywords), m_tabExtra(TabWidth(tabSpaceNum) - 1), m_runs(runs) {}

    // Colours the keywords standing in [m_at, to).
    void WordsUpTo(qsizetype to) {
        while (m_at < to) {
            const char16_t c = m_p[m_at];
            if (EndsWord(c)) {
                m_out += c == u'\t' ? 1 + m_tabExtra : 1;
                ++m_at;
                continue;
            }
            const qsizetype start = m_at;
            while (m_at < to && !EndsWord(m_p[m_at])) {
                ++m_at;
            }
            const qsizetype length = m_at - start;
            const bool before = start == 0 || StartsWord(m_p[start - 1]);
            // A word cut short by a comment marker runs on into it.
            const bool after = m_at == m_n || EndsWord(m_p[m_at]);
            if (before && after) {
                if (const int colour = m_keywords.ColourOf(QStringView(m_p + start, m_p + m_at))) {
                    Add(m_out, length, colour);
                }
            }
            m_out += length;
        }
    }

    // Colours [m_at, to) as a comment.
    void CommentUpTo(qsizetype to) {
        const qsizetype from = m_out;
        for (; m_at < to; ++m_at) {
            m_out += m_p[m_at] == u'\t' ? 1 + m_tabExtra : 1;
        }
        Add(from, m_out - from, kCommentColour);
    }

    qsizetype Find(QStringView marker, qsizetype from) const {
        return QStringView(m_p, m_n).indexOf(marker, from);
    }
    qsizetype size() const { return m_n; }

private:
    void Add(qsizetype start, qsizetype length, int colour) {
        if (length <= 0) {
            return;
        }
        if (!m_runs.empty() && m_runs.back().colour == colour &&
            m_runs.back().start + m_runs.back().length == start) {
            m_runs.back().length += int(length);
            return;
        }
        m_runs.push_back({int(start), int(length), colour});
    }

    const char16_t* m_p;
    qsizetype m_n;
    const ParagraphKeywords& m_keywords;
    int m_tabExtra;
    std::vector<rtf::ColourRun>& m_runs;
    qsizetype m_at = 0;  // next character of the paragraph
    qsizetype m_out = 0; // its offset in the text with tabs as blanks
};

} // namespace

bool LocalColouringExact(const KeywordTable& table, const QString& fontName, double pointSize,
                         qint16 tabSpaceNum) {
    if (table.empty()) {
        return false;
    }
    for (const KeywordColor& entry : table) {
        if (!SafeKeyword(entry.Keyword)) {
            return false;
        }
    }
    // The header and the colour table must come through untouched: no
    // keyword coloured in them, no comment started, nothing flattened.
    const QString empty = rtf::WriteRtf(u"", fontName, pointSize);
    const QString coloured =
        ColorKeywords(RemoveColors(FlattenRtf(empty, tabSpaceNum)), table, KeywordMethod::Planned);
    if (coloured != u'{' + kColourTable + QStringView(empty).sliced(1)) {
        return false;
    }
    // Nor may the header leave the reader showing text or a colour.
    const rtf::RtfContent read = rtf::ReadRtf(coloured);
    return read.text.isEmpty() && read.runs.empty();
}

void ColourParagraph(QStringView paragraph, bool startsInBlockComment,
                     const ParagraphKeywords& keywords, qint16 tabSpaceNum, ParagraphColours& out) {
    out.runs.clear();
    out.endsInBlockComment = false;
    out.needsFullPass = NeedsFullPass(paragraph);

    ParagraphWalk walk(paragraph, keywords, tabSpaceNum, out.runs);
    const qsizetype n = walk.size();
    qsizetype from = 0; // where the next comment marker is looked for
    if (startsInBlockComment) {
        const qsizetype close = walk.Find(u"*/", 0);
        if (close < 0) {
            walk.CommentUpTo(n);
            out.endsInBlockComment = true;
            return;
        }
        from = close + 2;
        walk.CommentUpTo(from);
    }
    // The markers of the comments, in the order the full pass takes them.
    // A line comment ends before "\par ", that is at the paragraph's end.
    while (from < n) {
        const qsizetype line = walk.Find(u"--", from);
        const qsizetype block = walk.Find(u"/*", from);
        if (line < 0 && block < 0) {
            break;
        }
        if (line >= 0 && (block < 0 || line < block)) {
            walk.WordsUpTo(line);
            walk.CommentUpTo(n);
            return;
        }
        walk.WordsUpTo(block);
        // "/*/" is a whole comment: the end is looked for from the "*" on.
        const qsizetype close = walk.Find(u"*/", block + 1);
        if (close < 0) {
            walk.CommentUpTo(n);
            out.endsInBlockComment = true;
            return;
        }
        from = close + 2;
        walk.CommentUpTo(from);
    }
    walk.WordsUpTo(n);
}

QString ExpandTabs(QStringView paragraph, qint16 tabSpaceNum) {
    const qsizetype tabs = paragraph.count(u'\t');
    if (tabs == 0) {
        return paragraph.toString();
    }
    const int width = TabWidth(tabSpaceNum);
    const QString blanks(width, u' ');
    QString text;
    text.reserve(paragraph.size() + tabs * (width - 1));
    // The text between tabs in one piece: a whole script comes here too.
    qsizetype from = 0;
    for (qsizetype tab = paragraph.indexOf(u'\t'); tab >= 0; tab = paragraph.indexOf(u'\t', from)) {
        text.append(paragraph.sliced(from, tab - from));
        text.append(blanks);
        from = tab + 1;
    }
    text.append(paragraph.sliced(from));
    return text;
}

} // namespace brindle::colour
