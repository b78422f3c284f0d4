#include "shell/frm_main.h"

#include "data/export_file.h"
#include "data/export_progress_dialog.h"
#include "data/paste_to_excel.h"
#include "data/workbook_opener.h"
#include "data/xlsx_spreadsheet.h"
#include "shell/frm_sql.h"

#include <QDateTime>

namespace brindle {

void frmMain::mnuToolExcel_Click() {
    // Disabled without a document; a shortcut that still gets here does nothing.
    if (!ActiveForm())
        return;
    if (!ExecBatches())
        return;
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    WorkbookOpener& opener = *m_services.workbooks;
    const auto newWorkbook = [&opener] {
        return std::make_unique<XlsxSpreadsheet>(
            [] {
                return ReserveExportFile(DefaultExportDirectory(), QDateTime::currentDateTime());
            },
            [&opener](const QString& path) { return opener.Open(path); });
    };
    ExportProgressDialog progress(this);
    PasteToExcel(
        doc->RecordSet(), newWorkbook,
        [this](const QString& description) { mMsg.ShowError(description); }, &progress);
}

} // namespace brindle
