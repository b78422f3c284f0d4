#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace brindle {

class Recordset;
class Spreadsheet;
class Worksheet;

// Where PasteRecords writes next.
struct CellPosition {
    std::int32_t row = 0;
    std::int32_t column = 0;
    QString address; // the same cell in A1 notation
};

// Told how far the export has come, after each block. Returning false stops
// the export as a failure at that block would.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // The records that will be written, before the first block.
    virtual void Begin(qsizetype total) = 0;
    virtual bool Written(qsizetype records) = 0;
    // Writing the records is over, however it ended.
    virtual void End() = 0;
};

// Records cross into the sheet this many rows at a time.
inline constexpr int ExportBlockRows = 100;

// Writes every record from the current one onward in blocks of
// ExportBlockRows rows, from the position's row on (which it advances), then
// closes the result set. Any failure, or the progress stopping it, ends the
// export silently at that block with the result set left open. Returns the
// records whose block was written.
qsizetype PasteRecords(Recordset& rs, Worksheet& sheet, CellPosition& position,
                       ExportProgress* progress = nullptr);

// Makes a new workbook through `create`, writes the field names as its first
// row with every used column formatted as text, pastes the records below and
// hands the workbook to the user, also after a failure, with whatever was
// written. Failures go to `showError` by description. Returns the records
// written.
qsizetype PasteToExcel(Recordset& rs, const std::function<std::unique_ptr<Spreadsheet>()>& create,
                       const std::function<void(const QString&)>& showError,
                       ExportProgress* progress = nullptr);

} // namespace brindle
