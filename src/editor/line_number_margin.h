#pragma once

#include <QWidget>

namespace brindle {

class RichTextEditor;

// The line numbers on the left of the editor's text: in the font the text is
// shown in, a little smaller, as wide as the last line's number needs, the
// caret's line standing out softly. It is part of the editor (the editor
// keeps its place and size; its text moves right) and paints only the lines
// in view.
class LineNumberMargin : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberMargin(RichTextEditor& editor);

    void SetShown(bool shown);
    bool Shown() const { return m_shown; }
    // The width the text gives up to the margin; 0 while it is hidden.
    int MarginWidth() const { return m_shown ? m_width : 0; }
    // After the shown font changed (a zoom): width and numbers again.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFont NumberFont() const;
    void UpdateWidth();
    void UpdateWidthFor(int lines);
    void Place();
    void OnUpdateRequest(const QRect& rect, int dy);
    void OnCaretMoved();

    RichTextEditor& m_editor;
    bool m_shown = true;
    int m_width = 0;
    int m_digits = 0;
    int m_caretLine = -1;
    int m_blockCount = -1; // as the numbers were last repainted for it
};

} // namespace brindle
