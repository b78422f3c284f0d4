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
    // `label` has %1 for the records written and %2 for the total.
    explicit ExportProgressDialog(
        QWidget* parent, const QString& title = QStringLiteral("エクセルに貼り付け"),
        const QString& label = QStringLiteral("ブックに書き込み中･･･ %1 / %2 件"));

    void Begin(qsizetype total) override;
    bool Written(qsizetype records) override;
    // Closes the dialog before the workbook is finished and opened.
    void End() override;

    QProgressDialog& dialog() { return m_dialog; }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceUpdate;
    qsizetype m_total = 0;
    QString m_label;
};

} // namespace brindle
