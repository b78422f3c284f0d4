#pragma once

#include <QWidget>

namespace brindle {

// The transparent strip between editor and grid that the user drags. It only
// reports the mouse; the document window moves things.
class SplitterStrip : public QWidget {
    Q_OBJECT
public:
    explicit SplitterStrip(QWidget* parent = nullptr);

signals:
    void MouseDown();
    void MouseMove(int yInStrip); // pixels from the strip's top
    void MouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace brindle
