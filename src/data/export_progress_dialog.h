#pragma once

#include "data/paste_to_excel.h"

#include <QElapsedTimer>
#include <QProgressDialog>

namespace brindle {

// The export's progress: records written of the total, in a modal dialog that
// appears only when writing takes longer than half a second, with a button to
// stop. The window is repainted between blocks, a few times a second.
class ExportProgressDialog final : public ExportProgress {
public:
    explicit ExportProgressDialog(QWidget* parent);

    void Begin(qsizetype total) override;
    bool Written(qsizetype records) override;
    // Closes the dialog before the workbook is finished and opened.
    void End() override;

    QProgressDialog& dialog() { return m_dialog; }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceUpdate;
    qsizetype m_total = 0;
};

} // namespace brindle
