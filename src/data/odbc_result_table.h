#pragma once

#include "data/column_source.h"
#include "data/odbc_column_values.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace brindle::odbc {

// A whole result held in memory: named columns of equal length.
class ResultTable {
public:
    void addColumn(const QString& name, ColumnKind kind, const ColumnSource& source = {});

    int columnCount() const noexcept { return static_cast<int>(m_columns.size()); }
    qsizetype rowCount() const noexcept { return m_columns.empty() ? 0 : m_columns[0].size(); }

    const QString& columnName(int column) const {
        return m_names[static_cast<std::size_t>(column)];
    }
    const ColumnSource& columnSource(int column) const {
        return m_sources[static_cast<std::size_t>(column)];
    }
    // Origins are read after the fetch: asked before it, some drivers fetch
    // markedly slower.
    void setColumnOrigin(int column, const ColumnOrigin& origin) {
        m_sources[static_cast<std::size_t>(column)].origin = origin;
    }
    // The first column of that name, compared case-insensitively; -1 when none.
    int indexOf(QStringView name) const;

    ColumnValues& column(int column) { return m_columns[static_cast<std::size_t>(column)]; }
    const ColumnValues& column(int column) const {
        return m_columns[static_cast<std::size_t>(column)];
    }
    QVariant value(qsizetype row, int column) const { return this->column(column).value(row); }

    // Gives back what the columns' buffers reserved beyond their rows.
    void shrinkToFit();

private:
    std::vector<QString> m_names;
    std::vector<ColumnValues> m_columns;
    std::vector<ColumnSource> m_sources;
};

} // namespace brindle::odbc
