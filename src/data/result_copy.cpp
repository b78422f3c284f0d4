#include "data/result_copy.h"

#include "data/odbc_object_errors.h"
#include "data/recordset.h"
#include "data/result_cell_text.h"

#include <algorithm>

namespace brindle {

namespace {

constexpr QChar Tab = u'\t';

void AppendRow(QString& out, const ResultCellWriter& writer, qsizetype row,
               const std::vector<int>& columns) {
    bool first = true;
    for (const int column : columns) {
        if (!std::exchange(first, false))
            out += Tab;
        writer.AppendDelimited(out, row, column, Tab);
    }
    out += u"\r\n";
}

// Room for the whole text, from a few rows spread over the block, so that a
// copy of a million rows does not grow its string step by step.
qsizetype EstimatedSize(const ResultCellWriter& writer, const CellBlock& cells, qsizetype rows) {
    constexpr qsizetype Samples = 64;
    QString sample;
    qsizetype sampled = 0;
    const qsizetype step = std::max<qsizetype>(1, rows / Samples);
    qsizetype index = 0;
    for (const auto& [first, last] : cells.rows) {
        for (qsizetype row = first; row <= last; ++row, ++index) {
            if (index % step != 0)
                continue;
            AppendRow(sample, writer, row, cells.columns);
            ++sampled;
        }
        if (sampled >= Samples)
            break;
    }
    if (sampled == 0)
        return 0;
    return sample.size() / sampled * rows * 9 / 8 + 64;
}

} // namespace

QString CopyCellsText(const Recordset& rs, const CellBlock& cells, bool names) {
    // The cells are read straight from the columns: check them as Value would.
    const qsizetype records = rs.RecordCount();
    qsizetype rows = 0;
    for (const auto& [first, last] : cells.rows) {
        if (first < 0 || last < first || last >= records)
            throw NoCurrentRecordError();
        rows += last - first + 1;
    }
    for (const int column : cells.columns) {
        if (column < 0 || column >= rs.FieldCount())
            throw ItemNotFoundError();
    }
    QString out;
    if (cells.columns.empty())
        return out;
    const ResultCellWriter writer(rs);
    out.reserve(EstimatedSize(writer, cells, rows) + (names ? 256 : 0));
    if (names) {
        bool first = true;
        for (const int column : cells.columns) {
            if (!std::exchange(first, false))
                out += Tab;
            AppendDelimitedField(out, rs.FieldName(column), Tab);
        }
        out += u"\r\n";
    }
    for (const auto& [first, last] : cells.rows) {
        for (qsizetype row = first; row <= last; ++row)
            AppendRow(out, writer, row, cells.columns);
    }
    return out;
}

} // namespace brindle
