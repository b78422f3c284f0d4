#pragma once

namespace brindle {

// A control's position and size in twips.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// Layout of a query document: editor above, grid below, the splitter strip
// between them and the grey bar shown while the strip is dragged. All in
// twips; the window turns the result into pixels. A width or height below
// zero is refused the way a control refuses it: that value keeps its old
// setting and the remaining steps still run.
class SqlPaneLayout {
public:
    enum Mode { AfterResize = 1, SplitterDropped = 2 };

    SqlPaneLayout(); // the design geometry

    const TwipsRect& txtQry() const { return m_txt; }
    const TwipsRect& grdQry() const { return m_grd; }
    const TwipsRect& imgSplitter() const { return m_img; }
    const TwipsRect& picSplitter() const { return m_pic; }
    bool picSplitterVisible() const { return m_picVisible; }
    bool dragging() const { return m_dragging; }

    // The window was resized: inner (scale) width and height, outer height.
    void FormResize(double scaleWidth, double scaleHeight, double outerHeight);
    void ResizePanes(double y, Mode mode, double scaleHeight, double outerHeight);

    void SplitterMouseDown();
    // yInStrip: mouse position relative to the top of the strip, in twips.
    void SplitterMouseMove(double yInStrip, double outerHeight);
    void SplitterMouseUp(double scaleHeight, double outerHeight);

private:
    TwipsRect m_txt{0, 0, 1455, 2055};
    TwipsRect m_grd{0, 2100, 4215, 1305};
    TwipsRect m_img{-30, 1980, 4530, 135};
    TwipsRect m_pic{750, 3630, 4575, 105};
    bool m_picVisible = false;
    bool m_dragging = false;
};

} // namespace brindle
