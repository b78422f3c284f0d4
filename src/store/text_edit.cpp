#include "store/text_edit.h"

#include <algorithm>

namespace brindle::store {

TextEdit ApplyEdit(QString& text, TextEdit edit) {
    edit.position = std::clamp<qsizetype>(edit.position, 0, text.size());
    edit.removed = std::clamp<qsizetype>(edit.removed, 0, text.size() - edit.position);
    text.replace(edit.position, edit.removed, edit.inserted);
    return edit;
}

TextEdit WholeCharacters(const QString& after, TextEdit edit) {
    // The units just outside the edit are the same before and after it.
    qsizetype start = edit.position;
    qsizetype end = edit.position + edit.inserted.size(); // in `after`
    qsizetype removed = edit.removed;
    const bool widenStart = start > 0 && after.at(start - 1).isHighSurrogate();
    const bool widenEnd = end < after.size() && after.at(end).isLowSurrogate();
    if (!widenStart && !widenEnd)
        return edit;
    if (widenStart) {
        --start;
        ++removed;
    }
    if (widenEnd) {
        ++end;
        ++removed;
    }
    return {start, removed, after.mid(start, end - start)};
}

QString FirstLine(const QString& text, qsizetype limit) {
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        // Trim by hand: a 20 MB one-line text is not copied to find its start.
        qsizetype first = start;
        while (first < end && text.at(first).isSpace())
            ++first;
        if (first < end) {
            qsizetype last = end;
            while (last > first && text.at(last - 1).isSpace())
                --last;
            last = std::min(last, first + limit);
            if (last < end && last > first && text.at(last - 1).isHighSurrogate())
                --last;
            return text.mid(first, last - first);
        }
        start = end + 1;
    }
    return {};
}

} // namespace brindle::store
