#include "shell/window_arrangement.h"

#include <gtest/gtest.h>

using namespace brindle;

TEST(WindowArrangement, TilesCoverTheAreaWithoutOverlap) {
    const QRect area(0, 0, 500, 301);
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        const auto stacked = TileStacked(n, area);
        const auto side = TileSideBySide(n, area);
        ASSERT_EQ(static_cast<int>(stacked.size()), n);
        ASSERT_EQ(static_cast<int>(side.size()), n);
        int nextTop = area.top();
        int nextLeft = area.left();
        for (int i = 0; i < n; ++i) {
            // Stacked: full width, one above the other, in order.
            EXPECT_EQ(stacked[i].left(), area.left());
            EXPECT_EQ(stacked[i].width(), area.width());
            EXPECT_EQ(stacked[i].top(), nextTop);
            nextTop = stacked[i].bottom() + 1;
            // Side by side: full height, left to right.
            EXPECT_EQ(side[i].top(), area.top());
            EXPECT_EQ(side[i].height(), area.height());
            EXPECT_EQ(side[i].left(), nextLeft);
            nextLeft = side[i].right() + 1;
        }
        EXPECT_EQ(nextTop, area.bottom() + 1);
        EXPECT_EQ(nextLeft, area.right() + 1);
    }
    EXPECT_TRUE(TileStacked(0, area).empty());
}

TEST(WindowArrangement, IconsLineUpFromTheBottomLeft) {
    const QRect area(0, 0, 350, 400);
    const QSize icon(160, 30);
    const auto places = IconPositions(5, area, icon);
    ASSERT_EQ(places.size(), 5u);
    // Two fit in a row of 350 pixels; the third starts the row above.
    EXPECT_EQ(places[0], QRect(0, 370, 160, 30));
    EXPECT_EQ(places[1], QRect(160, 370, 160, 30));
    EXPECT_EQ(places[2], QRect(0, 340, 160, 30));
    EXPECT_EQ(places[4], QRect(0, 310, 160, 30));
    EXPECT_TRUE(IconPositions(3, area, QSize(0, 0)).empty());
}
