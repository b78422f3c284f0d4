#include "editor/line_number_margin.h"

#include "editor/rich_text_editor.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace brindle {

namespace {

constexpr int Padding = 4;
// The numbers' size against the text's.
constexpr double NumberScale = 0.85;

int DigitsOf(int number) {
    int digits = 1;
    while (number >= 10) {
        number /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

LineNumberMargin::LineNumberMargin(RichTextEditor& editor) : QWidget(&editor), m_editor(editor) {
    setObjectName(QStringLiteral("lineNumbers"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A whole text set at once: the width for it before it goes in, since a
    // wider margin later makes the view lay out all of that text again.
    connect(&editor, &RichTextEditor::AboutToSetText, this, [this](int lines) {
        if (DigitsOf(lines) != m_digits)
            UpdateWidthFor(lines);
    });
    connect(&editor, &QPlainTextEdit::blockCountChanged, this, [this] {
        if (DigitsOf(m_editor.blockCount()) != m_digits)
            UpdateWidth();
    });
    connect(&editor, &QPlainTextEdit::updateRequest, this, &LineNumberMargin::OnUpdateRequest);
    connect(&editor, &QPlainTextEdit::cursorPositionChanged, this, &LineNumberMargin::OnCaretMoved);
    editor.installEventFilter(this);
    UpdateWidth();
}

void LineNumberMargin::SetShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    setVisible(shown);
    UpdateWidth();
}

void LineNumberMargin::Refresh() {
    UpdateWidth();
    update();
}

QFont LineNumberMargin::NumberFont() const {
    QFont font = m_editor.document()->defaultFont();
    font.setPointSizeF(std::max(1.0, font.pointSizeF() * NumberScale));
    return font;
}

void LineNumberMargin::UpdateWidth() {
    UpdateWidthFor(m_editor.blockCount());
}

void LineNumberMargin::UpdateWidthFor(int lines) {
    m_digits = DigitsOf(lines);
    const QFontMetrics metrics(NumberFont());
    m_width = metrics.horizontalAdvance(u'9') * std::max(m_digits, 2) + 2 * Padding;
    m_editor.SetLeftMargin(MarginWidth());
    Place();
}

void LineNumberMargin::Place() {
    const QRect area = m_editor.contentsRect();
    setGeometry(area.left(), area.top(), m_width, area.height());
}

bool LineNumberMargin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_editor) {
        if (event->type() == QEvent::Resize)
            Place();
        // The editor hands its new font to the text after this event.
        if (event->type() == QEvent::FontChange)
            QTimer::singleShot(0, this, [this] { Refresh(); });
    }
    return QWidget::eventFilter(watched, event);
}

void LineNumberMargin::OnUpdateRequest(const QRect& rect, int dy) {
    if (!m_shown)
        return;
    if (dy != 0) {
        scroll(0, dy);
        return;
    }
    // Lines keep their places unless their count changes, the view scrolls
    // (above) or it is laid out again as a whole: an edit inside a line, the
    // caret's blink and a selection leave the numbers as they are.
    const int count = m_editor.blockCount();
    if (count == m_blockCount && !rect.contains(m_editor.viewport()->rect()))
        return;
    m_blockCount = count;
    update(0, rect.y(), width(), rect.height());
}

void LineNumberMargin::OnCaretMoved() {
    const QTextBlock block = m_editor.textCursor().block();
    const int line = block.blockNumber();
    if (line == m_caretLine)
        return;
    // The two numbers whose look changes, not the whole margin.
    const QTextBlock before = m_editor.document()->findBlockByNumber(m_caretLine);
    m_caretLine = line;
    if (!m_shown)
        return;
    for (const QTextBlock& changed : {before, block}) {
        if (!changed.isValid())
            continue;
        const QRect at = m_editor.cursorRect(QTextCursor(changed));
        update(0, at.top(), width(), at.height());
    }
}

void LineNumberMargin::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPalette colours = m_editor.palette();
    const QColor background = colours.color(QPalette::Base).darker(104);
    painter.fillRect(event->rect(), background);
    painter.setFont(NumberFont());
    QColor caretBand = colours.color(QPalette::Highlight);
    caretBand.setAlpha(40);
    const QColor number = colours.color(QPalette::PlaceholderText);
    const QColor caretNumber = colours.color(QPalette::Text);
    const int caretLine = m_editor.textCursor().blockNumber();
    const int top = event->rect().top();
    const int bottom = event->rect().bottom();
    // From the first line in view down to the last the event asks for.
    for (QTextBlock block = m_editor.cursorForPosition(QPoint(0, 0)).block(); block.isValid();
         block = block.next()) {
        if (!block.isVisible())
            continue;
        const QRect line = m_editor.cursorRect(QTextCursor(block));
        if (line.top() > bottom)
            break;
        if (line.bottom() < top)
            continue;
        const QRect box(0, line.top(), m_width - Padding, line.height());
        if (block.blockNumber() == caretLine) {
            painter.fillRect(QRect(0, line.top(), m_width, line.height()), caretBand);
            painter.setPen(caretNumber);
        } else {
            painter.setPen(number);
        }
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(block.blockNumber() + 1));
    }
}

} // namespace brindle
