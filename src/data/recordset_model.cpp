#include "data/recordset_model.h"

#include "data/cell_input.h"
#include "data/grid_cell_text.h"
#include "data/grid_sizing.h"
#include "data/grid_widest_rows.h"
#include "data/odbc_column_values.h"
#include "data/recordset.h"
#include "core/error.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPointer>

#include <algorithm>
#include <limits>
#include <optional>

namespace brindle {

namespace {

// A NULL's look; only italic is set, so the grid's own font fills in the rest.
QFont NullFont() {
    QFont font;
    font.setItalic(true);
    return font;
}

} // namespace

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::Bind(Recordset* recordset) {
    if (recordset) {
        // A grid over a closed result set would show the old header over
        // blank cells. The model may go first: then nothing is done.
        recordset->setClosedObserver([model = QPointer<RecordsetModel>(this), recordset] {
            if (model && model->m_recordset == recordset)
                model->Bind(recordset);
        });
    }
    beginResetModel();
    m_recordset = recordset;
    m_rows = 0;
    m_fields.clear();
    m_editable = false;
    m_readOnlyReason.clear();
    try {
        if (recordset && recordset->State() != 0) {
            m_editable = recordset->Updatable(&m_readOnlyReason);
            const int count = recordset->FieldCount();
            std::vector<Field> fields;
            fields.reserve(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) {
                const odbc::ColumnKind kind = recordset->FieldKind(i);
                const bool sampled =
                    kind == odbc::ColumnKind::Text || kind == odbc::ColumnKind::Binary;
                fields.push_back({recordset->FieldName(i), IsNumericKind(kind), sampled,
                                  m_editable && kind != odbc::ColumnKind::Binary});
            }
            // A view counts rows in int; anything beyond cannot be shown.
            const qsizetype records = recordset->RecordCount();
            m_rows =
                static_cast<int>(std::min<qsizetype>(records, std::numeric_limits<int>::max()));
            m_fields = std::move(fields);
        }
    } catch (const Error&) {
        m_rows = 0;
        m_fields.clear();
        m_editable = false;
    }
    endResetModel();
}

void RecordsetModel::RowChanged(qsizetype row) {
    if (row < 0 || row >= m_rows || m_fields.empty())
        return;
    const int r = static_cast<int>(row);
    emit dataChanged(index(r, 0), index(r, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, r, r);
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_rows ||
        index.column() >= columnCount() || !m_recordset)
        return false;
    if (!(flags(index) & Qt::ItemIsEditable))
        return false;
    try {
        const odbc::ColumnKind kind = m_recordset->FieldKind(index.column());
        QVariant parsed;
        if (value.isValid()) {
            const std::optional<QVariant> input = ParseCellInput(value.toString(), kind);
            if (!input) {
                emit EditRefused(QStringLiteral("「%1」は列 %2 の値として使えません。")
                                     .arg(value.toString().left(100),
                                          m_fields[static_cast<std::size_t>(index.column())].name));
                return false;
            }
            parsed = *input;
        }
        const qsizetype row = index.row();
        const qsizetype left = m_recordset->EditedRow();
        if (m_recordset->AbsolutePosition() - 1 != row)
            m_recordset->MoveTo(row);
        if (left >= 0 && left != row)
            RowChanged(left);
        m_recordset->SetValue(index.column(), parsed);
    } catch (const Error& e) {
        emit EditRefused(e.description());
        return false;
    }
    RowChanged(index.row());
    return true;
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_fields.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    QModelRoleData roleData(role);
    multiData(index, roleData);
    return roleData.data();
}

void RecordsetModel::multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const {
    for (QModelRoleData& roleData : roleDataSpan)
        roleData.clearData();
    if (!m_recordset || !index.isValid() || index.model() != this || index.row() >= m_rows ||
        index.column() >= columnCount())
        return;
    const Field& field = m_fields[static_cast<std::size_t>(index.column())];

    // Read once for all roles asked. A result set changed behind the grid's
    // back gives nothing rather than failing the paint.
    std::optional<QVariant> value;
    try {
        value = m_recordset->Value(static_cast<qsizetype>(index.row()), index.column());
    } catch (const Error&) {
    }

    for (QModelRoleData& roleData : roleDataSpan) {
        switch (roleData.role()) {
        case Qt::DisplayRole:
            if (value)
                roleData.setData(GridCellText(*value));
            break;
        case Qt::EditRole:
            if (value)
                roleData.setData(*value);
            break;
        case Qt::ToolTipRole:
            if (value && !value->isNull())
                roleData.setData(GridToolTipText(*value));
            break;
        case Qt::TextAlignmentRole:
            roleData.setData(static_cast<int>((field.numeric ? Qt::AlignRight : Qt::AlignLeft) |
                                              Qt::AlignVCenter));
            break;
        case Qt::ForegroundRole:
            if (value && value->isNull())
                roleData.setData(QBrush(QColor(128, 128, 128)));
            break;
        case Qt::FontRole:
            if (value && value->isNull())
                roleData.setData(NullFont());
            break;
        default:
            break;
        }
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columnCount())
        return m_fields[static_cast<std::size_t>(section)].name;
    if (orientation == Qt::Horizontal && role == GridWidestRowsRole && section >= 0 &&
        section < columnCount() && !m_fields[static_cast<std::size_t>(section)].sampled)
        return QVariant::fromValue(WidestRows(section));
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && m_recordset &&
        m_recordset->State() != 0 && section == m_recordset->EditedRow())
        return QStringLiteral("✎ %1").arg(section + 1);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QList<int> RecordsetModel::WidestRows(int column) const {
    QList<int> rows;
    try {
        if (m_recordset && m_recordset->State() != 0) {
            for (const qsizetype row : GridWidestRows(m_recordset->FieldValues(column))) {
                if (row < m_rows)
                    rows.append(static_cast<int>(row));
            }
        }
    } catch (const Error&) {
    }
    return rows;
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() < columnCount() &&
        m_fields[static_cast<std::size_t>(index.column())].editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

} // namespace brindle
