#include "editor/line_edits.h"

#include "editor/text_lines.h"

#include <QStringView>

#include <algorithm>

namespace brindle::editing {

namespace {

int LeadingBlanks(QStringView line) {
    int n = 0;
    while (n < line.size() && (line[n] == u' ' || line[n] == u'\t' || line[n] == QChar(0x3000)))
        ++n;
    return n;
}

bool HasLineComment(QStringView line) {
    return line.sliced(LeadingBlanks(line)).startsWith(QStringView(LineCommentMark));
}

} // namespace

std::vector<LineEdit> ToggleLineComments(const QStringList& lines, int firstLine) {
    const bool allBlank = std::all_of(lines.begin(), lines.end(),
                                      [](const QString& line) { return IsBlankLine(line); });
    const bool allCommented =
        !allBlank && std::all_of(lines.begin(), lines.end(), [](const QString& line) {
            return IsBlankLine(line) || HasLineComment(line);
        });
    std::vector<LineEdit> edits;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const int number = firstLine + static_cast<int>(i);
        if (allCommented) {
            if (IsBlankLine(line))
                continue;
            const int at = LeadingBlanks(line);
            const qsizetype mark = std::size(LineCommentMark) - 1;
            const bool blankAfter = at + mark < line.size() && line[at + mark] == u' ';
            edits.push_back({number, at, static_cast<int>(mark) + (blankAfter ? 1 : 0), {}});
        } else if (allBlank || !IsBlankLine(line)) {
            edits.push_back({number, 0, 0, QString::fromUtf16(LineCommentPrefix)});
        }
    }
    return edits;
}

std::vector<LineEdit> IndentLines(const QStringList& lines, int firstLine, int width) {
    std::vector<LineEdit> edits;
    const QString blanks(std::max(width, 1), u' ');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            edits.push_back({firstLine + static_cast<int>(i), 0, 0, blanks});
    }
    return edits;
}

std::vector<LineEdit> OutdentLines(const QStringList& lines, int firstLine, int width) {
    std::vector<LineEdit> edits;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        int n = 0;
        if (line.startsWith(u'\t')) {
            n = 1;
        } else {
            while (n < std::max(width, 1) && n < line.size() && line[n] == u' ')
                ++n;
        }
        if (n > 0)
            edits.push_back({firstLine + static_cast<int>(i), 0, n, {}});
    }
    return edits;
}

} // namespace brindle::editing
