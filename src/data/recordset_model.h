#pragma once

#include <QAbstractTableModel>

#include <vector>

namespace brindle {

class Recordset;

// The result grid's view of a document's result set: one column per field,
// one row per record, read by row without moving the current record.
//
// Bind takes a snapshot of the shape (fields and record count); the values
// are read on demand. A result set that was closed or re-opened since, until
// it is bound again, shows blank cells instead of failing. A NULL shows
// "(NULL)" in grey italics; Qt::EditRole gives the raw value (a null QVariant
// for NULL). The model is read-only.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    // Shows what the result set holds now; nullptr (or a closed result set)
    // shows an empty grid. The result set must outlive the binding.
    void Bind(const Recordset* recordset);
    const Recordset* Bound() const { return m_recordset; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Field {
        QString name;
        bool numeric = false;
    };

    const Recordset* m_recordset = nullptr;
    int m_rows = 0;
    std::vector<Field> m_fields;
};

} // namespace brindle
