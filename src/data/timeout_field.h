#pragma once

#include <QLineEdit>

namespace brindle {

// The time-out field: digits and Backspace only, Delete acting as Backspace,
// arrows ignored, never empty, no leading zeros, at most 8 characters even
// when pasted, and the caret kept at the end, also on entering the field.
// Enter and Esc go to the dialog's OK and キャンセル.
class TimeoutField : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int MaxDigits = 8;

    explicit TimeoutField(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void txtTimeout_KeyDown(QKeyEvent* event);
    void txtTimeout_KeyPress(QKeyEvent* event);
    void txtTimeout_Change();
    void CaretToEnd();

    bool m_changing = false;
};

} // namespace brindle
