#include "shell/window_arrangement.h"

#include <algorithm>

namespace brindle {

namespace {

// Splits `length` into `count` parts; earlier parts get the base size, the
// last one the remainder, so the parts cover the length exactly.
std::vector<std::pair<int, int>> Split(int start, int length, int count) {
    std::vector<std::pair<int, int>> parts;
    if (count <= 0)
        return parts;
    const int base = std::max(1, length / count);
    int pos = start;
    for (int i = 0; i < count; ++i) {
        const int size = (i == count - 1) ? std::max(1, start + length - pos) : base;
        parts.emplace_back(pos, size);
        pos += size;
    }
    return parts;
}

} // namespace

std::vector<QRect> TileStacked(int count, const QRect& area) {
    std::vector<QRect> rects;
    for (const auto& [top, height] : Split(area.top(), area.height(), count))
        rects.emplace_back(area.left(), top, area.width(), height);
    return rects;
}

std::vector<QRect> TileSideBySide(int count, const QRect& area) {
    std::vector<QRect> rects;
    for (const auto& [left, width] : Split(area.left(), area.width(), count))
        rects.emplace_back(left, area.top(), width, area.height());
    return rects;
}

std::vector<QRect> IconPositions(int count, const QRect& area, const QSize& icon) {
    std::vector<QRect> rects;
    if (count <= 0 || icon.width() <= 0 || icon.height() <= 0)
        return rects;
    const int perRow = std::max(1, area.width() / icon.width());
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int col = i % perRow;
        rects.emplace_back(area.left() + col * icon.width(),
                           area.top() + area.height() - (row + 1) * icon.height(), icon.width(),
                           icon.height());
    }
    return rects;
}

} // namespace brindle
