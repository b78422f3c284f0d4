#include "data/timeout_field.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace brindle {

TimeoutField::TimeoutField(QWidget* parent) : QLineEdit(parent) {
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setToolTip(QStringLiteral("秒単位で指定"));
    // Typing stops at 8 digits below; this stops a paste too.
    setMaxLength(MaxDigits);
    connect(this, &QLineEdit::textChanged, this, [this] { txtTimeout_Change(); });
}

void TimeoutField::keyPressEvent(QKeyEvent* event) {
    txtTimeout_KeyDown(event);
}

void TimeoutField::txtTimeout_KeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Delete: {
        // Delete removes the character before the caret, like Backspace.
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier,
                            QStringLiteral("\b"));
        txtTimeout_KeyPress(&backspace);
        event->accept();
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        // Left to the dialog: Enter is OK, Esc is キャンセル.
        event->ignore();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        event->accept();
        return;
    default:
        txtTimeout_KeyPress(event);
    }
}

void TimeoutField::txtTimeout_KeyPress(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.isEmpty()) {
        // A key that types nothing (Home, Shift, F1, ...) passes.
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar c = typed.at(0);
    const bool backspace = c == u'\b';
    const bool digit = c >= u'0' && c <= u'9';
    if (typed.size() != 1 || !(backspace || digit)) {
        event->accept();
        return;
    }
    if (digit && text().size() >= MaxDigits && !hasSelectedText()) {
        event->accept();
        return;
    }
    if (backspace) {
        // Backspace by its character, whatever key produced it.
        this->backspace();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TimeoutField::focusInEvent(QFocusEvent* event) {
    // Tab would select the whole text; the caret stays at the end instead.
    QLineEdit::focusInEvent(event);
    CaretToEnd();
}

void TimeoutField::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    CaretToEnd();
}

void TimeoutField::txtTimeout_Change() {
    if (m_changing)
        return;
    m_changing = true;
    QString t = text();
    if (t.isEmpty())
        t = QStringLiteral("0");
    while (t.size() > 1 && t.at(0) == u'0')
        t.remove(0, 1);
    if (t != text())
        setText(t);
    CaretToEnd();
    m_changing = false;
}

void TimeoutField::CaretToEnd() {
    deselect();
    setCursorPosition(static_cast<int>(text().size()));
}

} // namespace brindle
