#pragma once

#include <QDateTime>
#include <QString>

namespace brindle {

// Where a new workbook is written.
struct WorkbookTarget {
    QString path;
    // An empty file was made to claim the name; it goes again when no
    // workbook is finished there.
    bool reserved = false;
};

// <the user's cache directory>/Brindle/exports.
QString DefaultExportDirectory();

// Claims a new file "Book_yyyyMMdd_HHmmss.xlsx" in `directory` (made when
// missing), named after `now`; when that name is taken, "_2", "_3", ... go
// before the extension. Throws Error 429 when the directory cannot be made or
// written.
WorkbookTarget ReserveExportFile(const QString& directory, const QDateTime& now);

// "The workbook cannot be created" errors, with the reason.
inline constexpr int WorkbookCreateError = 429;
inline constexpr int WorkbookRangeError = 1004;

} // namespace brindle
