#include "data/export_progress_dialog.h"

#include <QLocale>

#include <limits>

namespace brindle {

namespace {

constexpr int UpdateMilliseconds = 100;

QString ProgressText(const QString& label, qsizetype written, qsizetype total) {
    const QLocale locale;
    return label.arg(locale.toString(written), locale.toString(total));
}

} // namespace

ExportProgressDialog::ExportProgressDialog(QWidget* parent, const QString& title,
                                           const QString& label)
    : m_dialog(parent), m_label(label) {
    m_dialog.setWindowTitle(title);
    m_dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    m_dialog.setWindowModality(Qt::ApplicationModal);
    m_dialog.setMinimumDuration(500);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
}

void ExportProgressDialog::Begin(qsizetype total) {
    m_total = total;
    // The bar counts in int; a bigger total moves it in proportion.
    m_dialog.setRange(
        0, static_cast<int>(std::min<qsizetype>(total, std::numeric_limits<int>::max())));
    m_dialog.setLabelText(ProgressText(m_label, 0, total));
    m_dialog.setValue(0);
    m_sinceUpdate.start();
}

bool ExportProgressDialog::Written(qsizetype records) {
    if (m_sinceUpdate.elapsed() >= UpdateMilliseconds || records >= m_total) {
        m_sinceUpdate.restart();
        m_dialog.setLabelText(ProgressText(m_label, records, m_total));
        const qsizetype scaled = m_total > std::numeric_limits<int>::max()
                                     ? records * m_dialog.maximum() / m_total
                                     : records;
        // Once shown, the modal dialog handles the window's events here.
        m_dialog.setValue(static_cast<int>(scaled));
    }
    return !m_dialog.wasCanceled();
}

void ExportProgressDialog::End() {
    m_dialog.hide();
}

} // namespace brindle
