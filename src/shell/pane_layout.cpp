#include "shell/pane_layout.h"

#include <cmath>

namespace brindle {

namespace {

void SetExtent(double& field, double value) {
    if (value >= 0)
        field = value;
}

} // namespace

SqlPaneLayout::SqlPaneLayout() = default;

void SqlPaneLayout::FormResize(double scaleWidth, double scaleHeight, double outerHeight) {
    SetExtent(m_txt.width, scaleWidth);
    SetExtent(m_grd.width, m_txt.width);
    ResizePanes(m_img.top, AfterResize, scaleHeight, outerHeight);
}

void SqlPaneLayout::ResizePanes(double y, Mode mode, double scaleHeight, double outerHeight) {
    if (y < 1500)
        y = 1500;
    // The upper bound wins when the two conflict.
    if (y > outerHeight - 3000)
        y = outerHeight - 3000;
    if (mode == SplitterDropped) {
        SetExtent(m_txt.height, y);
        m_img.top = y;
    }
    m_txt.top = 0;
    m_grd.top = m_txt.height + m_txt.top + 50;
    SetExtent(m_grd.height, scaleHeight - (m_txt.height + 80));
    m_img.left = m_txt.left;
    SetExtent(m_img.width, m_txt.width);
}

void SqlPaneLayout::SplitterMouseDown() {
    m_pic.left = m_img.left;
    m_pic.top = m_img.top;
    SetExtent(m_pic.width, m_img.width - 20);
    m_pic.height = static_cast<double>(static_cast<long long>(std::nearbyint(m_img.height)) / 2);
    m_picVisible = true;
    m_dragging = true;
}

void SqlPaneLayout::SplitterMouseMove(double yInStrip, double outerHeight) {
    if (!m_dragging)
        return;
    const double p = m_img.top + yInStrip;
    if (p < 500)
        m_pic.top = 500;
    else if (p > outerHeight - 500)
        m_pic.top = outerHeight - 500;
    else
        m_pic.top = p;
}

void SqlPaneLayout::SplitterMouseUp(double scaleHeight, double outerHeight) {
    ResizePanes(m_pic.top, SplitterDropped, scaleHeight, outerHeight);
    m_picVisible = false;
    m_dragging = false;
}

} // namespace brindle
