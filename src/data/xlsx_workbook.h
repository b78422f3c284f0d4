#pragma once

#include "data/export_file.h"
#include "data/spreadsheet.h"

#include <QByteArray>
#include <QStringEncoder>
#include <QTemporaryFile>

#include <memory>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace brindle {

// One .xlsx workbook with one sheet, written through libxlsxwriter in
// constant-memory mode: rows must arrive top to bottom, which the export's
// header row and blocks do. The file is written under a temporary name in the
// target's directory and renamed onto the target only when complete.
class XlsxWorkbook final : public Worksheet {
public:
    // Throws Error 429 when the workbook cannot be started there.
    explicit XlsxWorkbook(WorkbookTarget target);
    // Unfinished: the temporary file goes, and the target when it was only
    // reserved.
    ~XlsxWorkbook() override;
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    void SetColumnNumberFormat(int column, const QString& format) override;
    void SetCellValue(int row, int column, const QString& value) override;
    void SetRangeValue(int row, int column, const SheetBlock& block) override;

    // Writes the file; throws Error 429 when it cannot be written. Once only.
    void Finish();
    bool finished() const noexcept { return m_finished; }
    const QString& path() const noexcept { return m_target.path; }

private:
    struct BookFree {
        void operator()(lxw_workbook* book) const;
    };

    void checkOpen() const;
    lxw_format* cellFormat(int column) const;
    void write(int row, int column, const QString& value);

    WorkbookTarget m_target;
    QTemporaryFile m_temp;
    QByteArray m_tempName;
    QByteArray m_tmpDir;
    std::unique_ptr<lxw_workbook, BookFree> m_book;
    lxw_worksheet* m_sheet = nullptr;         // owned by m_book
    std::vector<lxw_format*> m_columnFormats; // owned by m_book; by column - 1
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_utf8; // reused for every cell
    bool m_finished = false;
};

} // namespace brindle
