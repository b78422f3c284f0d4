#pragma once

#include <QStringView>

#include <vector>

namespace brindle::editing {

// A place in a text as a line and a column, both from 0.
struct TextPoint {
    int line = 0;
    int column = 0;
    friend bool operator==(const TextPoint&, const TextPoint&) = default;
};

// A range of a text: [start, start + length), in UTF-16 units.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype end() const { return start + length; }
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// The lines of a plain text as the editor's Text gives it: a CR LF, a lone
// CR and a lone LF each end a line, and offsets count every character, so a
// CR LF counts two. The text must outlive the index.
class LineIndex {
public:
    explicit LineIndex(QStringView text);

    // At least 1: an empty text is one empty line, and a text that ends with
    // a line end has an empty last line.
    int LineCount() const { return static_cast<int>(m_starts.size()); }
    // The line and column of an offset, clamped to the text. An offset
    // between the CR and the LF of a line end is at the end of that line.
    TextPoint PointAt(qsizetype offset) const;
    // Where a line starts; a line outside the text is clamped to it.
    qsizetype LineStart(int line) const;
    // A line without its line end.
    QStringView Line(int line) const;

private:
    int Clamped(int line) const;

    QStringView m_text;
    std::vector<qsizetype> m_starts;
};

// The lines [first, last] that a line command works on, for a selection
// from `start` to `end` (in either order; equal for a caret): every line it
// touches, except the line it ends on when it ends at the very start of
// that line after starting on an earlier one.
struct LineRange {
    int first = 0;
    int last = 0;
    int count() const { return last - first + 1; }
    friend bool operator==(const LineRange&, const LineRange&) = default;
};
LineRange TouchedLines(TextPoint start, TextPoint end);

// Where "go to line" puts the caret: the start of line `number` (from 1),
// the number clamped to the lines of the text.
qsizetype LineStartOffset(const LineIndex& lines, int number);

// True for a line of nothing but blanks (spaces, tabs, ideographic spaces).
bool IsBlankLine(QStringView line);

} // namespace brindle::editing
