#pragma once

#include <QStyledItemDelegate>

namespace brindle {

// Edits a result cell as one line of text, starting from the whole value (not
// the shortened text the cell shows). Text the user did not change is not
// handed back, so opening and leaving an editor never makes an edit.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};

} // namespace brindle
