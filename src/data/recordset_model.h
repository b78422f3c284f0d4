#pragma once

#include <QAbstractTableModel>
#include <QList>

#include <vector>

namespace brindle {

class Recordset;

// The result grid's view of a document's result set: one column per field,
// one row per record, read by row without moving the current record.
//
// Bind takes a snapshot of the shape (fields and record count); the values
// are read on demand. When the bound result set closes the grid empties at
// once (no columns, no rows), and stays empty until it is bound again. A NULL
// shows "(NULL)" in grey italics; Qt::EditRole gives the raw value (a null
// QVariant for NULL) and Qt::ToolTipRole the whole value (GridToolTipText),
// which the grid shows when the cell cannot. For the widths, the horizontal
// header gives the widest rows of each number, date and time field
// (GridWidestRowsRole).
//
// The cells are editable when the result set can write edits back (binary
// fields excepted): setData takes the typed text (or a null QVariant for
// NULL) and makes it a pending edit of that record, whose row header then
// shows "✎". A refused edit changes nothing and is reported by EditRefused.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    // Shows what the result set holds now; nullptr (or a closed result set)
    // shows an empty grid. The result set must outlive the binding, and its
    // closed observer is this model's until another model is bound to it.
    void Bind(Recordset* recordset);
    const Recordset* Bound() const { return m_recordset; }

    // Whether the bound result takes edits, and why not.
    bool Editable() const { return m_editable; }
    const QString& ReadOnlyReason() const { return m_readOnlyReason; }
    // The record's values or pending state changed outside setData (written
    // back, cancelled): its cells and header are shown again.
    void RowChanged(qsizetype row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // An edit was refused (not a value of the field, not updatable, the
    // record could not be left); description says why.
    void EditRefused(const QString& description);

private:
    QList<int> WidestRows(int column) const;

    struct Field {
        QString name;
        bool numeric = false;
        bool sampled = false; // text and binary: widths from a sample of rows
        bool editable = false;
    };

    Recordset* m_recordset = nullptr;
    bool m_editable = false;
    QString m_readOnlyReason;
    int m_rows = 0;
    std::vector<Field> m_fields;
};

} // namespace brindle
