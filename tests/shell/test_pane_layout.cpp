#include "shell/pane_layout.h"

#include <gtest/gtest.h>

using namespace brindle;

namespace {

// A document window whose inner area is `scaleHeight` high and whose frame
// adds 405 twips (caption and borders) to the outer height.
struct Window {
    double scaleWidth = 5610;
    double scaleHeight = 4260;
    double outerHeight() const { return scaleHeight + 405; }
};

void Resize(SqlPaneLayout& layout, const Window& w) {
    layout.FormResize(w.scaleWidth, w.scaleHeight, w.outerHeight());
}

void Drop(SqlPaneLayout& layout, const Window& w, double yInStrip) {
    layout.SplitterMouseDown();
    layout.SplitterMouseMove(yInStrip, w.outerHeight());
    layout.SplitterMouseUp(w.scaleHeight, w.outerHeight());
}

} // namespace

TEST(PaneLayout, NewDocumentEditorOnTopGridBelowBothFullWidth) {
    SqlPaneLayout layout;
    const Window w;
    Resize(layout, w);
    EXPECT_EQ(layout.txtQry(), (TwipsRect{0, 0, 5610, 2055}));
    EXPECT_EQ(layout.grdQry().top, 2105);
    EXPECT_EQ(layout.grdQry().top + layout.grdQry().height, w.scaleHeight - 30);
    EXPECT_EQ(layout.grdQry().width, 5610);
    EXPECT_EQ(layout.imgSplitter().left, 0);
    EXPECT_EQ(layout.imgSplitter().width, 5610);
}

TEST(PaneLayout, ResizingKeepsTheEditorHeightAndMovesOnlyTheGrid) {
    SqlPaneLayout layout;
    for (double h : {6000.0, 9000.0, 4300.0}) {
        SCOPED_TRACE(h);
        Window w;
        w.scaleHeight = h;
        Resize(layout, w);
        EXPECT_EQ(layout.txtQry().height, 2055);
        EXPECT_EQ(layout.grdQry().top + layout.grdQry().height, h - 30);
    }
}

TEST(PaneLayout, DroppedSplitterIsClampedToTheEditorLimits) {
    const struct {
        const char* name;
        double outer;
        double dropAt; // twips from the window top
        double editor;
    } cases[] = {
        {"near the top gives the minimum", 6000, 200, 1500},
        {"near the bottom gives outer - 3000", 6000, 5900, 3000},
        {"inside the limits is taken as is", 8000, 2500, 2500},
        {"small window: upper bound wins", 4200, 3000, 1200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SqlPaneLayout layout;
        Window w;
        w.scaleHeight = c.outer - 405;
        Resize(layout, w);
        Drop(layout, w, c.dropAt - layout.imgSplitter().top);
        EXPECT_EQ(layout.txtQry().height, c.editor);
        EXPECT_EQ(layout.imgSplitter().top, c.editor);
        EXPECT_EQ(layout.grdQry().top, c.editor + 50);
        EXPECT_FALSE(layout.picSplitterVisible());
        EXPECT_FALSE(layout.dragging());
    }
}

TEST(PaneLayout, NegativeEditorHeightIsRefusedButTheStripStillMoves) {
    SqlPaneLayout layout;
    Window w;
    w.scaleHeight = 2400; // outer 2805: outer - 3000 = -195
    Resize(layout, w);
    const double before = layout.txtQry().height;
    Drop(layout, w, 0);
    EXPECT_EQ(layout.txtQry().height, before);
    EXPECT_EQ(layout.imgSplitter().top, -195);
}

TEST(PaneLayout, DragBarFollowsTheMouseWithinFiveHundredTwipsOfTheEdges) {
    SqlPaneLayout layout;
    const Window w; // outer 4665
    Resize(layout, w);
    const double strip = layout.imgSplitter().top;

    layout.SplitterMouseMove(100, w.outerHeight());
    EXPECT_FALSE(layout.picSplitterVisible()) << "moves before a press do nothing";

    layout.SplitterMouseDown();
    EXPECT_TRUE(layout.dragging());
    EXPECT_TRUE(layout.picSplitterVisible());
    EXPECT_EQ(layout.picSplitter(),
              (TwipsRect{layout.imgSplitter().left, strip, layout.imgSplitter().width - 20, 67}));
    const struct {
        double y;
        double bar;
    } moves[] = {{-strip, 500}, {600 - strip, 600}, {4500 - strip, 4165}, {10000, 4165}};
    for (const auto& m : moves) {
        SCOPED_TRACE(m.y);
        layout.SplitterMouseMove(m.y, w.outerHeight());
        EXPECT_EQ(layout.picSplitter().top, m.bar);
        EXPECT_EQ(layout.imgSplitter().top, strip) << "the strip stays during the drag";
    }
}
