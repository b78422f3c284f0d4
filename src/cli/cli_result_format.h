#pragma once

#include <QString>

#include <memory>

namespace brindle {
class Recordset;
namespace odbc {
class ResultTable;
}
} // namespace brindle

namespace brindle::cli {

enum class ResultFormat { Tsv, Json, Count, Csv };

// The whole of an open result set in one format, every line ending in LF:
// Tsv: a header line of field names, then one line per record, fields
// separated by tabs, NULL empty, and tab, CR, LF and backslash inside a value
// written \t \r \n \\.
// Json: {"columns":[...],"rows":[[...],...]}; NULL is null; integers exact,
// doubles shortest round-trip, decimals with their exact digits, all as
// numbers (a value JSON cannot write as a number, such as NaN, as a string).
// Count: the number of records.
// Csv: RFC 4180 (CR LF line ends, fields holding a comma, a double quote or a
// line break quoted, quotes doubled), a header line of field names, NULL an
// empty field; values as the window's copy and save write them.
// In the other formats dates are YYYY-MM-DD, times HH:MM:SS and timestamps
// YYYY-MM-DD HH:MM:SS, with the milliseconds only when there are any, and
// binary values lower-case hex.
QString FormatResult(const Recordset& rs, ResultFormat format);

// The members of the Json form, "columns":[...],"rows":[[...],...], appended
// for an object of the caller's; of an open result set, or of a result kept
// from a run.
void AppendJsonColumnsAndRows(QString& out, const Recordset& rs);
void AppendJsonColumnsAndRows(QString& out, std::shared_ptr<const odbc::ResultTable> table);

// Appends `text` as one TSV field: tab, CR, LF and backslash written
// \t \r \n \\.
void AppendTsvField(QString& out, const QString& text);

} // namespace brindle::cli
