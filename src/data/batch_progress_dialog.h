#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace brindle {

// What the user sees while batches run longer than a moment: the batch of
// the count, the rows fetched and the time so far, and a button (or Esc) to
// stop. The dialog never closes itself; cancelRequested asks the run to stop.
class BatchProgressDialog final : public QDialog {
    Q_OBJECT
public:
    explicit BatchProgressDialog(QWidget* parent);

    void Show(int batch, int count, qsizetype rows, qint64 elapsedMs);
    // The run has been asked to stop: the button is spent.
    void ShowCancelling();
    // Ready for a new run: running, the button live.
    void Reset();

signals:
    void cancelRequested();

public slots:
    // Esc and the title bar's close ask to stop instead of hiding.
    void reject() override;

private:
    QLabel* m_lblRunning;
    QLabel* m_lblBatch;
    QLabel* m_lblRows;
    QLabel* m_lblElapsed;
    QPushButton* m_cmdCancel;
};

} // namespace brindle
