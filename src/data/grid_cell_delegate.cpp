#include "data/grid_cell_delegate.h"

#include "data/cell_input.h"

#include <QLineEdit>

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

} // namespace brindle
