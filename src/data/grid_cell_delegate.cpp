#include "data/grid_cell_delegate.h"

#include "data/cell_input.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

namespace brindle {

QWidget* GridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("cellEditor"));
    editor->setFrame(false);
    return editor;
}

void GridCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    line->setText(CellEditText(index.data(Qt::EditRole)));
    line->setModified(false);
}

void GridCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    const auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && line->isModified())
        model->setData(index, line->text(), Qt::EditRole);
}

bool GridCellDelegate::ShowsAll(const QStyleOptionViewItem& option, const QModelIndex& index,
                                const QWidget* view) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // Cut before it reached the cell (a very long text or binary value).
    if (index.data(Qt::ToolTipRole).toString().size() > cell.text.size())
        return false;
    // The text's room as the style lays it out: the cell less a margin each side.
    const QStyle* style = view ? view->style() : QApplication::style();
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, view);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return QFontMetrics(cell.font).horizontalAdvance(cell.text) <= room.width() - 2 * margin;
}

bool GridCellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!event || !view || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString whole = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
    if (whole.isEmpty() || ShowsAll(option, index, view)) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // As plain text: a value that looks like markup is shown as it is, and
    // a long one wraps.
    // It goes when the pointer leaves the cell (option.rect, in the viewport).
    QToolTip::showText(event->globalPos(), Qt::convertFromPlainText(whole, Qt::WhiteSpaceNormal),
                       view->viewport(), option.rect);
    event->accept();
    return true;
}

} // namespace brindle
