#include "editor/text_lines.h"

#include <algorithm>
#include <utility>

namespace brindle::editing {

LineIndex::LineIndex(QStringView text) : m_text(text) {
    m_starts.push_back(0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            m_starts.push_back(i + 1);
        } else if (text[i] == u'\n') {
            m_starts.push_back(i + 1);
        }
    }
}

int LineIndex::Clamped(int line) const {
    return std::clamp(line, 0, LineCount() - 1);
}

TextPoint LineIndex::PointAt(qsizetype offset) const {
    offset = std::clamp<qsizetype>(offset, 0, m_text.size());
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    const int line = static_cast<int>(after - m_starts.begin()) - 1;
    const qsizetype length = Line(line).size();
    const qsizetype column = std::min(offset - m_starts[static_cast<std::size_t>(line)], length);
    return {line, static_cast<int>(column)};
}

qsizetype LineIndex::LineStart(int line) const {
    return m_starts[static_cast<std::size_t>(Clamped(line))];
}

QStringView LineIndex::Line(int line) const {
    line = Clamped(line);
    const qsizetype start = m_starts[static_cast<std::size_t>(line)];
    qsizetype end =
        line + 1 < LineCount() ? m_starts[static_cast<std::size_t>(line) + 1] : m_text.size();
    while (end > start && (m_text[end - 1] == u'\n' || m_text[end - 1] == u'\r'))
        --end;
    return m_text.sliced(start, end - start);
}

LineRange TouchedLines(TextPoint start, TextPoint end) {
    const auto before = [](const TextPoint& a, const TextPoint& b) {
        return a.line < b.line || (a.line == b.line && a.column < b.column);
    };
    if (before(end, start))
        std::swap(start, end);
    LineRange range{start.line, end.line};
    if (end.line > start.line && end.column == 0)
        --range.last;
    return range;
}

qsizetype LineStartOffset(const LineIndex& lines, int number) {
    return lines.LineStart(number - 1);
}

bool IsBlankLine(QStringView line) {
    return std::all_of(line.begin(), line.end(),
                       [](QChar c) { return c == u' ' || c == u'\t' || c == QChar(0x3000); });
}

} // namespace brindle::editing
