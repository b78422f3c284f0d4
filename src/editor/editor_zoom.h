#pragma once

#include <QObject>

namespace brindle {

class RichTextEditor;

// Shows the editor's text larger or smaller without changing its font: the
// font, which the font command reads and keeps in the FONT settings, stays
// as it is, and only the size the text is drawn in moves, a point a step.
// Ctrl+wheel zooms too. A new font is shown at its own size.
class EditorZoom : public QObject {
    Q_OBJECT
public:
    explicit EditorZoom(RichTextEditor& editor);

    void ZoomIn() { ZoomBy(1); }
    void ZoomOut() { ZoomBy(-1); }
    // Back to the font's own size.
    void Reset();
    // Points above (or below) the font's size.
    int Steps() const { return m_steps; }
    double ShownPointSize() const;

signals:
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ZoomBy(int steps);
    void Apply();

    RichTextEditor& m_editor;
    QObject* m_viewport;
    int m_steps = 0;
    int m_wheelRest = 0; // a wheel's eighths of a degree not yet a step
};

} // namespace brindle
