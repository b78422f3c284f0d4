#pragma once

#include <QString>

namespace brindle {

// Hands a finished workbook to the user. The real one opens it with the
// desktop's application for spreadsheets; tests record the path instead.
class WorkbookOpener {
public:
    virtual ~WorkbookOpener() = default;
    // False when nothing could open it.
    virtual bool Open(const QString& path) = 0;
};

class DesktopWorkbookOpener final : public WorkbookOpener {
public:
    bool Open(const QString& path) override;
};

WorkbookOpener& DefaultWorkbookOpener();

} // namespace brindle
