#include "data/batch_progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

namespace {

QLabel* NewLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

BatchProgressDialog::BatchProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_lblRunning(NewLabel(this, "lblRunning")), m_lblBatch(NewLabel(this, "lblBatch")),
      m_lblRows(NewLabel(this, "lblRows")), m_lblElapsed(NewLabel(this, "lblElapsed")),
      m_cmdCancel(new QPushButton(QStringLiteral("キャンセル"), this)) {
    setObjectName(QStringLiteral("batchProgress"));
    setWindowTitle(QStringLiteral("クエリ バッチ"));
    setWindowModality(Qt::ApplicationModal);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    Reset();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    for (QLabel* label : {m_lblRunning, m_lblBatch, m_lblRows, m_lblElapsed})
        layout->addWidget(label);
    layout->addLayout(buttons);
    setMinimumWidth(280);

    connect(m_cmdCancel, &QPushButton::clicked, this, &BatchProgressDialog::cancelRequested);
}

void BatchProgressDialog::Show(int batch, int count, qsizetype rows, qint64 elapsedMs) {
    const QLocale locale;
    m_lblBatch->setText(
        count > 0
            ? QStringLiteral("バッチ: %1 / %2").arg(locale.toString(batch), locale.toString(count))
            : QString());
    m_lblRows->setText(QStringLiteral("取得した行: %1").arg(locale.toString(rows)));
    m_lblElapsed->setText(QStringLiteral("経過時間: %1 秒").arg(locale.toString(elapsedMs / 1000)));
    if (!isVisible())
        show();
}

void BatchProgressDialog::ShowCancelling() {
    m_lblRunning->setText(QStringLiteral("キャンセルしています･･･"));
    m_cmdCancel->setEnabled(false);
}

void BatchProgressDialog::Reset() {
    m_lblRunning->setText(QStringLiteral("クエリ バッチ実行中･･･"));
    m_cmdCancel->setEnabled(true);
}

void BatchProgressDialog::reject() {
    emit cancelRequested();
}

} // namespace brindle
