#include "data/paste_to_excel.h"

#include "data/export_cell_text.h"
#include "data/recordset.h"
#include "data/spreadsheet.h"
#include "core/error.h"
#include "core/error_steps.h"

#include <QScopeGuard>

namespace brindle {

qsizetype PasteRecords(Recordset& rs, Worksheet& sheet, CellPosition& position,
                       ExportProgress* progress) {
    qsizetype written = 0;
    const auto end = qScopeGuard([progress] {
        if (progress)
            progress->End();
    });
    try {
        const int n = rs.FieldCount();
        if (progress)
            progress->Begin(rs.IsEOF() ? 0 : rs.RecordCount() - rs.AbsolutePosition() + 1);
        std::vector<odbc::ColumnKind> kinds;
        for (int i = 0; i < n; ++i)
            kinds.push_back(rs.FieldKind(i));
        SheetBlock block(ExportBlockRows, n);
        while (!rs.IsEOF()) {
            block.clear();
            int filled = 0;
            for (int r = 0; r < ExportBlockRows; ++r) {
                for (int i = 0; i < n; ++i)
                    block.at(r, i) = ExportCellText(rs.Value(i), kinds[static_cast<size_t>(i)]);
                rs.MoveNext();
                ++filled;
                if (rs.IsEOF())
                    break;
            }
            sheet.SetRangeValue(position.row, position.column, block);
            written += filled;
            position.row += ExportBlockRows;
            if (progress && !progress->Written(written))
                return written;
        }
        rs.Close();
    } catch (const Error&) {
        // The rows written so far stay; the result set stays where it stopped.
    }
    return written;
}

qsizetype PasteToExcel(Recordset& rs, const std::function<std::unique_ptr<Spreadsheet>()>& create,
                       const std::function<void(const QString&)>& showError,
                       ExportProgress* progress) {
    std::unique_ptr<Spreadsheet> application;
    qsizetype written = 0;
    try {
        application = create();
        Worksheet& sheet = application->AddWorkbook();
        // The header row, cell by cell from A1 to the right; each column is
        // text before any value lands in it, so "007" stays "007".
        int column = 1;
        for (int i = 0; i < rs.FieldCount(); ++i) {
            sheet.SetColumnNumberFormat(i + 1, QStringLiteral("@"));
            sheet.SetCellValue(1, column, rs.FieldName(i));
            ++column;
        }
        CellPosition position{2, 1, CellAddress(2, 1)};
        written = PasteRecords(rs, sheet, position, progress);
        application->Show();
    } catch (const Error& e) {
        showError(e.description());
        if (application)
            Step([&] { application->Show(); });
    }
    return written;
}

} // namespace brindle
