#include "shell/splitter_strip.h"

#include <QMouseEvent>

namespace brindle {

SplitterStrip::SplitterStrip(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SizeVerCursor);
    setAttribute(Qt::WA_NoSystemBackground);
}

void SplitterStrip::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit MouseDown();
}

void SplitterStrip::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit MouseMove(qRound(event->position().y()));
}

void SplitterStrip::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    emit MouseUp();
}

} // namespace brindle
