#pragma once

#include <QString>

namespace brindle {

class ExportProgress;
class Recordset;

enum class ResultFileFormat {
    CsvUtf8, // RFC 4180, UTF-8 with a byte-order mark
    CsvCp932,
    Tsv,  // UTF-8, quoted as CSV is, with tabs between fields
    Json, // {"columns":[...],"rows":[[...],...]}
};

// Writes every record of the open result set to `path`: the column names
// first (CSV, TSV), then the values whole. Written to a temporary file beside
// it and renamed over it only when complete, so a failure or a stop through
// `progress` leaves no partial file and the old file as it was. Throws Error
// with a description the user can act on (the folder cannot be written, the
// disk is full, a value has no code page 932 form, stopped by the user).
void SaveResult(const Recordset& rs, const QString& path, ResultFileFormat format,
                ExportProgress* progress = nullptr);

// The whole result as the CSV of SaveResult (RFC 4180, CR LF line ends), as
// text without a byte-order mark: for writing elsewhere than to a file.
QString ResultCsvText(const Recordset& rs);

} // namespace brindle
