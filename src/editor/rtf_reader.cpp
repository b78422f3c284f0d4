#include "editor/rtf_document.h"

#include <QByteArray>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace brindle::rtf {

namespace {

// Limits that keep hostile input linear and shallow. Groups nested deeper than
// kMaxDepth are read as if flat; nobody writes such RTF on purpose.
constexpr std::size_t kMaxDepth = 4096;
constexpr int kMaxWordLetters = 32;
constexpr int kMaxParamDigits = 10;

enum class Destination : std::uint8_t { Content, ColourTable, Skipped };

// Character state that RTF scopes to a group.
struct GroupState {
    Destination destination = Destination::Content;
    int colour = 0;
    int fallbackChars = 1; // \ucN: characters after \uN that stand in for it
};

enum class Word : std::uint8_t {
    Unknown,
    Bin,
    Cf,
    Char, // a word that stands for one character
    ColourTable,
    Colour, // \red \green \blue
    Line,   // \par and \line
    Plain,
    SkipDestination,
    Tab,
    U,
    Uc,
};

struct WordEntry {
    std::u16string_view name;
    Word word;
    char16_t value = 0; // the character of a Char word, 0/1/2 for red/green/blue
};

// Sorted by name for the binary search; the static_assert below keeps it so.
constexpr WordEntry kWords[] = {
    {u"bin", Word::Bin},
    {u"blue", Word::Colour, 2},
    {u"bullet", Word::Char, u'\u2022'},
    {u"cf", Word::Cf},
    {u"colortbl", Word::ColourTable},
    {u"emdash", Word::Char, u'\u2014'},
    {u"emspace", Word::Char, u'\u2003'},
    {u"endash", Word::Char, u'\u2013'},
    {u"enspace", Word::Char, u'\u2002'},
    {u"filetbl", Word::SkipDestination},
    {u"fldinst", Word::SkipDestination},
    {u"fonttbl", Word::SkipDestination},
    {u"footer", Word::SkipDestination},
    {u"footerf", Word::SkipDestination},
    {u"footerl", Word::SkipDestination},
    {u"footerr", Word::SkipDestination},
    {u"generator", Word::SkipDestination},
    {u"green", Word::Colour, 1},
    {u"header", Word::SkipDestination},
    {u"headerf", Word::SkipDestination},
    {u"headerl", Word::SkipDestination},
    {u"headerr", Word::SkipDestination},
    {u"info", Word::SkipDestination},
    {u"ldblquote", Word::Char, u'\u201C'},
    {u"line", Word::Line},
    {u"listoverridetable", Word::SkipDestination},
    {u"listtable", Word::SkipDestination},
    {u"lquote", Word::Char, u'\u2018'},
    {u"object", Word::SkipDestination},
    {u"par", Word::Line},
    {u"pict", Word::SkipDestination},
    {u"plain", Word::Plain},
    {u"rdblquote", Word::Char, u'\u201D'},
    {u"red", Word::Colour, 0},
    {u"revtbl", Word::SkipDestination},
    {u"rquote", Word::Char, u'\u2019'},
    {u"rsidtbl", Word::SkipDestination},
    {u"stylesheet", Word::SkipDestination},
    {u"tab", Word::Tab},
    {u"themedata", Word::SkipDestination},
    {u"u", Word::U},
    {u"uc", Word::Uc},
};
static_assert(std::is_sorted(std::begin(kWords), std::end(kWords),
                             [](const WordEntry& a, const WordEntry& b) {
                                 return a.name < b.name;
                             }));

const WordEntry* FindWord(std::u16string_view name) {
    const auto* it = std::lower_bound(
        std::begin(kWords), std::end(kWords), name,
        [](const WordEntry& entry, std::u16string_view key) { return entry.name < key; });
    return it != std::end(kWords) && it->name == name ? it : nullptr;
}

bool IsAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool IsDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

int ClampToInt(std::int64_t value, int low, int high) {
    return static_cast<int>(std::clamp<std::int64_t>(value, low, high));
}

// \'hh bytes are code page 932. Without a Shift_JIS converter in this Qt
// build, Latin-1 at least keeps every byte visible.
QStringDecoder MakeCodePageDecoder() {
    QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
    if (decoder.isValid()) {
        return decoder;
    }
    return QStringDecoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
}

class Reader {
public:
    explicit Reader(QStringView rtf) : m_in(rtf), m_decoder(MakeCodePageDecoder()) {
        m_groups.reserve(64);
        m_groups.emplace_back(); // the state outside any group
        // The text is never longer than its RTF; a cap keeps picture-heavy
        // documents from reserving far more than they will use.
        m_out.text.reserve(std::min<qsizetype>(rtf.size(), qsizetype(1) << 20));
    }

    RtfContent read() {
        while (m_pos < m_in.size()) {
            const QChar c = m_in[m_pos];
            switch (c.unicode()) {
            case u'\r':
            case u'\n':
                ++m_pos; // line breaks in RTF source are layout, not text
                break;
            case u'{':
                ++m_pos;
                startToken();
                m_skipFallback = 0;
                openGroup();
                break;
            case u'}':
                ++m_pos;
                startToken();
                m_skipFallback = 0;
                closeGroup();
                break;
            case u'\\':
                readControl();
                break;
            default:
                readText();
                break;
            }
        }
        startToken();
        if (group().destination == Destination::ColourTable) {
            finishPartialColour();
        }
        return finish();
    }

private:
    GroupState& group() { return m_groups.back(); }
    bool atTopLevel() const { return m_groups.size() == 1; }

    // Every token but a \'hh byte ends a run of bytes, which decode together
    // because a double-byte character is written as two \'hh.
    void startToken() {
        if (m_bytes.isEmpty()) {
            return;
        }
        // A trailing space makes the converter report a dangling lead byte
        // instead of swallowing it.
        m_bytes.append(' ');
        QString decoded = m_decoder.decode(m_bytes);
        m_bytes.clear();
        if (decoded.endsWith(u' ')) {
            decoded.chop(1);
        }
        appendText(decoded);
    }

    void openGroup() {
        if (m_groups.size() > kMaxDepth) {
            ++m_flatDepth;
            return;
        }
        m_groups.push_back(m_groups.back());
    }

    void closeGroup() {
        if (m_flatDepth > 0) {
            --m_flatDepth;
            return;
        }
        if (atTopLevel()) {
            return; // unbalanced brace: nothing to close
        }
        const bool leavesColourTable = group().destination == Destination::ColourTable;
        m_groups.pop_back();
        if (leavesColourTable && group().destination != Destination::ColourTable) {
            finishPartialColour();
        }
    }

    void readControl() {
        if (m_pos + 1 >= m_in.size()) {
            m_pos = m_in.size(); // a lone backslash at the very end
            return;
        }
        const QChar next = m_in[m_pos + 1];
        if (IsAsciiLetter(next)) {
            readWord();
        } else if (next == u'\'') {
            readHexByte();
        } else {
            m_pos += 2;
            startToken();
            if (consumeFallback()) {
                return;
            }
            readSymbol(next);
        }
    }

    void readHexByte() {
        const int high = m_pos + 2 < m_in.size() ? HexValue(m_in[m_pos + 2]) : -1;
        const int low = m_pos + 3 < m_in.size() ? HexValue(m_in[m_pos + 3]) : -1;
        if (high < 0 || low < 0) {
            m_pos += 2; // drop the broken escape, keep what follows as text
            return;
        }
        m_pos += 4;
        if (consumeFallback()) {
            return;
        }
        if (group().destination == Destination::Content) {
            m_bytes.append(static_cast<char>(high * 16 + low));
        }
    }

    void readSymbol(QChar symbol) {
        switch (symbol.unicode()) {
        case u'\\':
        case u'{':
        case u'}':
            appendContent(QStringView(&symbol, 1));
            break;
        case u'~':
            appendContent(u"\u00A0");
            break;
        case u'_':
            appendContent(u"-");
            break;
        case u'*':
            if (!atTopLevel()) {
                group().destination = Destination::Skipped;
            }
            break;
        case u'\r':
        case u'\n':
            // An escaped source line break is an old spelling of \par.
            if (group().destination == Destination::Content) {
                breakParagraph();
            }
            break;
        default:
            break; // \- and symbols that carry no text here
        }
    }

    void readWord() {
        const qsizetype nameStart = ++m_pos;
        while (m_pos < m_in.size() && IsAsciiLetter(m_in[m_pos])) {
            ++m_pos;
        }
        const qsizetype nameLength = m_pos - nameStart;

        bool hasParam = false;
        bool negative = false;
        std::int64_t param = 0;
        if (m_pos + 1 < m_in.size() && m_in[m_pos] == u'-' && IsDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        for (int digits = 0; m_pos < m_in.size() && IsDigit(m_in[m_pos]); ++m_pos, ++digits) {
            hasParam = true;
            if (digits < kMaxParamDigits) {
                param = param * 10 + (m_in[m_pos].unicode() - u'0');
            }
        }
        if (negative) {
            param = -param;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == u' ') {
            ++m_pos; // the delimiter belongs to the word
        }

        const WordEntry* entry =
            nameLength <= kMaxWordLetters
                ? FindWord(std::u16string_view(m_in.utf16() + nameStart,
                                               static_cast<std::size_t>(nameLength)))
                : nullptr;
        const Word word = entry ? entry->word : Word::Unknown;

        startToken();
        if (word == Word::Bin) {
            // Binary data is never text; skip it whatever the destination.
            const qsizetype left = m_in.size() - m_pos;
            m_pos += std::clamp<qsizetype>(hasParam ? param : 0, 0, left);
            return;
        }
        if (consumeFallback()) {
            return;
        }
        if (word == Word::Uc) {
            group().fallbackChars = hasParam ? ClampToInt(param, 0, 0xFFFF) : 1;
            return;
        }
        if (word == Word::U) {
            if (hasParam) {
                readUnicode(param);
            }
            return;
        }
        switch (group().destination) {
        case Destination::Skipped:
            break;
        case Destination::ColourTable:
            if (word == Word::Colour) {
                const int value = hasParam ? ClampToInt(param, 0, 255) : 0;
                (entry->value == 0   ? m_colour.red
                 : entry->value == 1 ? m_colour.green
                                     : m_colour.blue) = value;
                m_colour.isDefault = false;
            }
            break;
        case Destination::Content:
            contentWord(word, entry, hasParam, param);
            break;
        }
    }

    void contentWord(Word word, const WordEntry* entry, bool hasParam, std::int64_t param) {
        switch (word) {
        case Word::Line:
            breakParagraph();
            break;
        case Word::Tab:
            appendContent(u"\t");
            break;
        case Word::Char:
            appendContent(QStringView(&entry->value, 1));
            break;
        case Word::Cf:
            group().colour = hasParam ? ClampToInt(param, 0, std::numeric_limits<int>::max()) : 0;
            break;
        case Word::Plain:
            group().colour = 0;
            break;
        case Word::ColourTable:
            if (!atTopLevel()) {
                group().destination = Destination::ColourTable;
                m_out.colours.clear();
                m_colour = Rgb{};
            }
            break;
        case Word::SkipDestination:
            if (!atTopLevel()) {
                group().destination = Destination::Skipped;
            }
            break;
        default:
            break; // formatting the editor does not keep
        }
    }

    // \uN takes a signed 16-bit value; the characters after it are a
    // fallback for readers without Unicode and are skipped.
    void readUnicode(std::int64_t param) {
        std::int64_t code = param < 0 ? param + 65536 : param;
        if (code < 0 || code > 0xFFFF) {
            code = 0xFFFD;
        }
        const char16_t unit = static_cast<char16_t>(code);
        appendContent(QStringView(&unit, 1));
        m_skipFallback = group().fallbackChars;
    }

    void readText() {
        const qsizetype start = m_pos;
        while (m_pos < m_in.size()) {
            const char16_t u = m_in[m_pos].unicode();
            if (u == u'\\' || u == u'{' || u == u'}' || u == u'\r' || u == u'\n') {
                break;
            }
            ++m_pos;
        }
        startToken();
        QStringView text = m_in.mid(start, m_pos - start);
        if (m_skipFallback > 0) {
            const qsizetype skipped = std::min<qsizetype>(m_skipFallback, text.size());
            m_skipFallback -= static_cast<int>(skipped);
            text = text.mid(skipped);
        }
        switch (group().destination) {
        case Destination::Content:
            appendContent(text);
            break;
        case Destination::ColourTable:
            for (const QChar c : text) {
                if (c == u';') {
                    m_out.colours.push_back(m_colour);
                    m_colour = Rgb{};
                }
            }
            break;
        case Destination::Skipped:
            break;
        }
    }

    // Fallback characters after \uN are dropped one token at a time.
    bool consumeFallback() {
        if (m_skipFallback <= 0) {
            return false;
        }
        --m_skipFallback;
        return true;
    }

    // A table whose last entry lacks its ';' still keeps that entry.
    void finishPartialColour() {
        if (!m_colour.isDefault) {
            m_out.colours.push_back(m_colour);
        }
        m_colour = Rgb{};
    }

    // The break is held back until more text follows, so the paragraph mark
    // that ends the document adds no empty line.
    void breakParagraph() {
        flushPendingBreak();
        m_pendingBreak = true;
        m_pendingBreakColour = group().colour;
    }

    void flushPendingBreak() {
        if (m_pendingBreak) {
            m_pendingBreak = false;
            appendRaw(u"\n", m_pendingBreakColour);
        }
    }

    void appendContent(QStringView text) {
        if (group().destination == Destination::Content) {
            appendText(text);
        }
    }

    void appendText(QStringView text) {
        if (text.isEmpty()) {
            return;
        }
        flushPendingBreak();
        appendRaw(text, group().colour);
    }

    void appendRaw(QStringView text, int colour) {
        const int start = static_cast<int>(m_out.text.size());
        m_out.text.append(text);
        if (colour == 0) {
            return;
        }
        const int length = static_cast<int>(text.size());
        if (!m_out.runs.empty() && m_out.runs.back().colour == colour &&
            m_out.runs.back().start + m_out.runs.back().length == start) {
            m_out.runs.back().length += length;
        } else {
            m_out.runs.push_back({start, length, colour});
        }
    }

    // Runs were recorded by colour number; only numbers the table holds are
    // colours, the rest show in the default colour.
    RtfContent finish() {
        const int tableSize = static_cast<int>(m_out.colours.size());
        std::vector<ColourRun> kept;
        kept.reserve(m_out.runs.size());
        for (const ColourRun& run : m_out.runs) {
            if (run.colour >= tableSize) {
                continue;
            }
            if (!kept.empty() && kept.back().colour == run.colour &&
                kept.back().start + kept.back().length == run.start) {
                kept.back().length += run.length;
            } else {
                kept.push_back(run);
            }
        }
        m_out.runs = std::move(kept);
        return std::move(m_out);
    }

    QStringView m_in;
    qsizetype m_pos = 0;
    std::vector<GroupState> m_groups; // front: outside any group
    std::size_t m_flatDepth = 0;      // groups opened past kMaxDepth
    QStringDecoder m_decoder;
    QByteArray m_bytes; // \'hh bytes not yet decoded
    int m_skipFallback = 0;
    bool m_pendingBreak = false;
    int m_pendingBreakColour = 0;
    Rgb m_colour; // colour table entry being read
    RtfContent m_out;
};

} // namespace

RtfContent ReadRtf(QStringView rtf) {
    return Reader(rtf).read();
}

} // namespace brindle::rtf
