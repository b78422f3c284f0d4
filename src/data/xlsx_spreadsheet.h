#pragma once

#include "data/export_file.h"
#include "data/spreadsheet.h"

#include <functional>
#include <memory>

namespace brindle {

class XlsxWorkbook;

// The spreadsheet the export fills: an .xlsx file written in constant memory
// (each row goes to disk as the next begins), finished under a temporary name
// and renamed into place, so a failed write never leaves a damaged workbook or
// replaces an existing file.
class XlsxSpreadsheet final : public Spreadsheet {
public:
    // `target` names the file when the workbook is added; `open` hands the
    // finished file to the user and says whether anything opened it (none:
    // the file is only written).
    XlsxSpreadsheet(std::function<WorkbookTarget()> target,
                    std::function<bool(const QString& path)> open = {});
    ~XlsxSpreadsheet() override;

    Worksheet& AddWorkbook() override;
    void Show() override;

    // The workbook's file; empty before AddWorkbook.
    QString path() const;

private:
    std::function<WorkbookTarget()> m_target;
    std::function<bool(const QString&)> m_open;
    std::unique_ptr<XlsxWorkbook> m_workbook;
    bool m_shown = false;
};

} // namespace brindle
