#include "data/xlsx_spreadsheet.h"

#include "data/xlsx_workbook.h"
#include "core/error.h"

#include <QDir>

namespace brindle {

XlsxSpreadsheet::XlsxSpreadsheet(std::function<WorkbookTarget()> target,
                                 std::function<bool(const QString&)> open)
    : m_target(std::move(target)), m_open(std::move(open)) {}

XlsxSpreadsheet::~XlsxSpreadsheet() = default;

Worksheet& XlsxSpreadsheet::AddWorkbook() {
    m_workbook = std::make_unique<XlsxWorkbook>(m_target());
    return *m_workbook;
}

void XlsxSpreadsheet::Show() {
    if (!m_workbook)
        throw Error(WorkbookCreateError, QStringLiteral("ブックがありません。"));
    if (m_shown)
        return;
    m_shown = true;
    m_workbook->Finish();
    if (m_open && !m_open(m_workbook->path())) {
        throw Error(WorkbookCreateError,
                    QStringLiteral("ブック \"%1\" を開けません。開くアプリケーションがありません。")
                        .arg(QDir::toNativeSeparators(m_workbook->path())));
    }
}

QString XlsxSpreadsheet::path() const {
    return m_workbook ? m_workbook->path() : QString();
}

} // namespace brindle
