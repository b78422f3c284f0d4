#pragma once

#include <QLineEdit>

namespace brindle {

// The time-out field: digits and Backspace only, Delete acting as Backspace,
// arrows ignored, never empty, no leading zeros, at most 8 digits, and the
// caret kept at the end.
class TimeoutField : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int MaxDigits = 8;

    explicit TimeoutField(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void txtTimeout_KeyDown(QKeyEvent* event);
    void txtTimeout_KeyPress(QKeyEvent* event);
    void txtTimeout_Change();
    void CaretToEnd();

    bool m_changing = false;
};

} // namespace brindle
