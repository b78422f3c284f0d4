#include "data/recordset.h"

#include "data/command.h"
#include "data/connection.h"
#include "data/odbc_execute.h"
#include "data/odbc_object_errors.h"
#include "data/odbc_result_table.h"

namespace brindle {

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

const odbc::ResultTable& Recordset::table() const {
    if (!m_table)
        throw ObjectClosedError();
    return *m_table;
}

void Recordset::Open(const Command& source) {
    if (m_table)
        throw ObjectOpenError();
    const Connection* connection = source.ActiveConnection();
    if (!connection || !connection->Session())
        throw ConnectionUnusableError();
    if (source.CommandText().isEmpty())
        throw NoCommandTextError();
    m_table =
        odbc::ExecuteBatch(*connection->Session(), source.CommandText(), source.CommandTimeout());
    m_position = 0;
    m_pendingEdits.clear();
}

void Recordset::Close() {
    if (!m_table)
        throw ObjectClosedError();
    if (!m_pendingEdits.empty())
        throw ObjectOpenError();
    m_table.reset();
    m_position = -1;
}

void Recordset::CancelUpdate() {
    table();
    m_pendingEdits.clear();
}

bool Recordset::IsEOF() const {
    const qsizetype count = table().rowCount();
    return count == 0 || m_position >= count;
}

bool Recordset::IsBOF() const {
    return table().rowCount() == 0 || m_position < 0;
}

void Recordset::MoveFirst() {
    if (table().rowCount() == 0)
        throw NoCurrentRecordError();
    m_position = 0;
}

void Recordset::MoveLast() {
    const qsizetype count = table().rowCount();
    if (count == 0)
        throw NoCurrentRecordError();
    m_position = count - 1;
}

void Recordset::MoveNext() {
    if (IsEOF())
        throw NoCurrentRecordError();
    ++m_position;
}

void Recordset::MovePrevious() {
    if (IsBOF())
        throw NoCurrentRecordError();
    --m_position;
}

void Recordset::MoveTo(qsizetype row) {
    if (row < 0 || row >= table().rowCount())
        throw NoCurrentRecordError();
    m_position = row;
}

qsizetype Recordset::AbsolutePosition() const {
    return IsBOF() || IsEOF() ? 0 : m_position + 1;
}

qsizetype Recordset::RecordCount() const {
    return table().rowCount();
}

int Recordset::FieldCount() const {
    return m_table ? m_table->columnCount() : 0;
}

int Recordset::checkedIndex(int index) const {
    if (index < 0 || index >= table().columnCount())
        throw ItemNotFoundError();
    return index;
}

QString Recordset::FieldName(int index) const {
    return table().columnName(checkedIndex(index));
}

odbc::ColumnKind Recordset::FieldKind(int index) const {
    return table().column(checkedIndex(index)).kind();
}

qsizetype Recordset::currentRow() const {
    if (IsBOF() || IsEOF())
        throw NoCurrentRecordError();
    return m_position;
}

QVariant Recordset::Value(int index) const {
    const int column = checkedIndex(index);
    return table().value(currentRow(), column);
}

QVariant Recordset::Value(const QString& name) const {
    const int column = table().indexOf(name);
    if (column < 0)
        throw ItemNotFoundError();
    return table().value(currentRow(), column);
}

QVariant Recordset::Value(qsizetype row, int index) const {
    const int column = checkedIndex(index);
    if (row < 0 || row >= table().rowCount())
        throw NoCurrentRecordError();
    return table().value(row, column);
}

} // namespace brindle
