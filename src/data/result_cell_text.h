#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <vector>

namespace brindle {

class Recordset;

namespace odbc {
class ColumnValues;
} // namespace odbc

// A floating number as the shortest text that reads back as the same number;
// NaN, Infinity and -Infinity by name.
QString DoubleText(double value);

// The whole of a value that is not NULL, as copying and saving write it:
// integers as they are, floating numbers as DoubleText, decimals with their
// exact digits, dates, times and timestamps as DateText, TimeText and
// TimestampText, binary as 0x and upper-case hex, text unchanged. Never cut.
QString WholeValueText(const QVariant& value);

// Appends `text` as one field of a delimited line: between double quotes, its
// quotes doubled, when it holds the separator, a double quote, CR or LF.
void AppendDelimitedField(QString& out, QStringView text, QChar separator);

// Writes the cells of an open result set as Value(row, column) gives them,
// reading the stored columns directly wherever no edit covers a cell, so a
// pass over a large result makes no QVariant per cell. The result set must
// stay open and unchanged while the writer is used.
class ResultCellWriter {
public:
    explicit ResultCellWriter(const Recordset& rs);

    bool IsNull(qsizetype row, int column) const;
    // The cell as one delimited field (see AppendDelimitedField): its whole
    // value text, nothing for NULL.
    void AppendDelimited(QString& out, qsizetype row, int column, QChar separator) const;
    // The cell's JSON form, as AppendJsonValue writes it.
    void AppendJson(QString& out, qsizetype row, int column) const;
    // The whole value text; a null string for NULL.
    QString Text(qsizetype row, int column) const;

private:
    // A stored cell that is not NULL, written as WholeValueText would.
    void appendStored(QString& out, const odbc::ColumnValues& values, qsizetype row) const;

    const Recordset& m_rs;
    std::vector<const odbc::ColumnValues*> m_columns;
};

} // namespace brindle
