#include "data/workbook_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace brindle {

bool DesktopWorkbookOpener::Open(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

WorkbookOpener& DefaultWorkbookOpener() {
    static DesktopWorkbookOpener opener;
    return opener;
}

} // namespace brindle
