#pragma once

#include <QRect>
#include <QSize>

#include <vector>

namespace brindle {

// Child-window arrangement codes of the main window's window menu.
enum class Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

// `count` windows stacked one above the other, filling `area`; the last one
// takes the pixels left over by the division.
std::vector<QRect> TileStacked(int count, const QRect& area);
// `count` windows side by side, filling `area`.
std::vector<QRect> TileSideBySide(int count, const QRect& area);
// Positions for `count` minimised windows of size `icon`, lined up from the
// bottom-left corner of `area` to the right, a new row above when one is full.
std::vector<QRect> IconPositions(int count, const QRect& area, const QSize& icon);

} // namespace brindle
