#include "data/odbc_result_table.h"

namespace brindle::odbc {

void ResultTable::addColumn(const QString& name, ColumnKind kind, const ColumnSource& source) {
    m_names.push_back(name);
    m_columns.emplace_back(kind);
    m_sources.push_back(source);
}

int ResultTable::indexOf(QStringView name) const {
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (QStringView(m_names[i]).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void ResultTable::shrinkToFit() {
    for (ColumnValues& column : m_columns)
        column.shrinkToFit();
}

} // namespace brindle::odbc
