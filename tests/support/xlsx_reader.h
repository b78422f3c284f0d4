#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

namespace brindle::test {

// A workbook read back by openpyxl (tests/support/read_xlsx.py), so the
// checks never trust our own writer. On failure `error` says why.
struct XlsxContents {
    QString error;
    int maxRow = 0;
    int maxColumn = 0;
    QJsonArray rows;           // of arrays: text, or null for an empty cell
    QJsonArray formats;        // of arrays: each cell's number format
    QJsonObject columnFormats; // column letter -> number format

    // Row and column from 1, as the sheet counts; a null value past the end.
    QJsonValue cell(int row, int column) const;
    QString format(int row, int column) const;
};

XlsxContents ReadXlsx(const QString& path);

} // namespace brindle::test
