#include "editor/editor_zoom.h"

#include "editor/rich_text_editor.h"

#include <QTextDocument>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace brindle {

namespace {

constexpr double SmallestPoints = 4;
constexpr double LargestPoints = 96;
// One notch of an ordinary wheel.
constexpr int NotchEighths = 120;

} // namespace

EditorZoom::EditorZoom(RichTextEditor& editor)
    : QObject(&editor), m_editor(editor), m_viewport(editor.viewport()) {
    editor.installEventFilter(this);
    m_viewport->installEventFilter(this);
}

double EditorZoom::ShownPointSize() const {
    return m_editor.font().pointSizeF() + m_steps;
}

void EditorZoom::ZoomBy(int steps) {
    // Within reach of a readable size, never past the font's own size.
    const double base = m_editor.font().pointSizeF();
    const int lowest = static_cast<int>(std::min(0.0, std::ceil(SmallestPoints - base)));
    const int highest = static_cast<int>(std::max(0.0, std::floor(LargestPoints - base)));
    const int wanted = std::clamp(m_steps + steps, lowest, highest);
    if (wanted == m_steps)
        return;
    m_steps = wanted;
    Apply();
}

void EditorZoom::Reset() {
    if (m_steps == 0)
        return;
    m_steps = 0;
    Apply();
}

void EditorZoom::Apply() {
    // The text is drawn in the document's font; the editor's own font, the
    // one the program reads and keeps, is left alone.
    QFont shown = m_editor.font();
    shown.setPointSizeF(ShownPointSize());
    m_editor.document()->setDefaultFont(shown);
    emit Changed();
}

bool EditorZoom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_editor && event->type() == QEvent::FontChange) {
        // The editor gives the text its new font right after this.
        m_steps = 0;
        m_wheelRest = 0;
        return QObject::eventFilter(watched, event);
    }
    // The viewport as it was at the start: the editor being destroyed sends
    // events to this filter when it is an editor no more.
    if (watched == m_viewport && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier))
            return QObject::eventFilter(watched, event);
        m_wheelRest += wheel->angleDelta().y();
        const int steps = m_wheelRest / NotchEighths;
        m_wheelRest -= steps * NotchEighths;
        if (steps != 0)
            ZoomBy(steps);
        wheel->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace brindle
