#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace brindle::editing {

// One change inside a line: `removed` characters at `column` of `line` give
// way to `inserted`. The edits of one command are in line order and each
// touches a line of its own, so they can be applied in any order.
struct LineEdit {
    int line = 0;
    int column = 0;
    int removed = 0;
    QString inserted;
    friend bool operator==(const LineEdit&, const LineEdit&) = default;
};

// What a line comment starts with, and what is put in front of a line.
inline constexpr char16_t LineCommentMark[] = u"--";
inline constexpr char16_t LineCommentPrefix[] = u"-- ";

// Toggles line comments on `lines` (the text of lines firstLine, firstLine +
// 1, ...). When every line that is not blank starts with "--" after its
// leading blanks, that "--" and one blank after it are taken off; otherwise
// "-- " goes at the start of every line that is not blank (of every line
// when all are blank).
std::vector<LineEdit> ToggleLineComments(const QStringList& lines, int firstLine);

// Puts `width` blanks in front of every line that is not empty.
std::vector<LineEdit> IndentLines(const QStringList& lines, int firstLine, int width);

// Takes up to `width` leading blanks, or one leading tab, off every line.
std::vector<LineEdit> OutdentLines(const QStringList& lines, int firstLine, int width);

} // namespace brindle::editing
