#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace brindle {

// Values for one rectangular range of a sheet, row by row.
class SheetBlock {
public:
    SheetBlock(int rows, int columns)
        : m_rows(rows), m_columns(columns),
          m_values(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)) {}

    int rows() const noexcept { return m_rows; }
    int columns() const noexcept { return m_columns; }
    // From 0.
    const QString& at(int row, int column) const { return m_values[index(row, column)]; }
    QString& at(int row, int column) { return m_values[index(row, column)]; }
    // Every value empty again, keeping the room.
    void clear() {
        for (QString& value : m_values)
            value.clear();
    }

private:
    std::size_t index(int row, int column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
               static_cast<std::size_t>(column);
    }

    int m_rows;
    int m_columns;
    std::vector<QString> m_values;
};

// The sheet of a new workbook that the export fills. Rows and columns count
// from 1. Every member throws Error when the sheet cannot take the values.
class Worksheet {
public:
    virtual ~Worksheet() = default;
    // Gives the whole column a number format; "@" is text.
    virtual void SetColumnNumberFormat(int column, const QString& format) = 0;
    virtual void SetCellValue(int row, int column, const QString& value) = 0;
    // The block goes to the range whose top left cell is (row, column), all
    // of it or, when the range does not fit the sheet, none of it. Empty
    // values leave their cells empty.
    virtual void SetRangeValue(int row, int column, const SheetBlock& block) = 0;
};

// Stands in for a spreadsheet application: makes one new workbook and hands
// it to the user. Releasing the object leaves a handed-over workbook with the
// user and discards one that was not.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
    // The active sheet of a new workbook; throws Error when no workbook can
    // be made.
    virtual Worksheet& AddWorkbook() = 0;
    // Makes the workbook complete and gives it to the user, with its sheet
    // active. Throws Error when it cannot be finished or shown; calling it
    // again after that does not show it twice.
    virtual void Show() = 0;
};

} // namespace brindle
