#pragma once

#include <QStyledItemDelegate>

namespace brindle {

// Edits a result cell as one line of text, starting from the whole value (not
// the shortened text the cell shows). Text the user did not change is not
// handed back, so opening and leaving an editor never makes an edit.
//
// A cell that cannot show all of its value (elided, or cut as too long for a
// cell) shows the whole of it (Qt::ToolTipRole) as a tool tip; a cell that
// shows it all has none.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    bool ShowsAll(const QStyleOptionViewItem& option, const QModelIndex& index,
                  const QWidget* view) const;
};

} // namespace brindle
