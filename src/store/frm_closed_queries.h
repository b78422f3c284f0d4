#pragma once

#include "store/kept_document.h"

#include <QDialog>

#include <optional>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace brindle {

class clsMsg;

// Where the closed queries come from: the store, or a test's own.
class ClosedQueries {
public:
    virtual ~ClosedQueries() = default;
    // The most recently closed first; with a filter only those whose caption
    // or text holds it, in any case.
    virtual std::vector<store::KeptDocument> List(const QString& filter) = 0;
    virtual std::optional<QString> Text(qint64 id) = 0;
    virtual void Delete(const std::vector<qint64>& ids) = 0;
};

// "閉じたクエリ": every closed query kept, newest first, a filter, the text of
// the one selected, and buttons to open the selected ones as new documents
// or delete them.
class frmClosedQueries final : public QDialog {
    Q_OBJECT
public:
    frmClosedQueries(ClosedQueries& queries, const clsMsg& messages, QWidget* parent = nullptr);

    // The selected documents once 開く was pressed, in the order listed.
    std::vector<qint64> Chosen() const { return m_chosen; }

    QLineEdit* txtFilter() const { return m_txtFilter; }
    QTreeWidget* lstQueries() const { return m_lstQueries; }
    QPlainTextEdit* txtPreview() const { return m_txtPreview; }
    QPushButton* cmdOpen() const { return m_cmdOpen; }
    QPushButton* cmdDelete() const { return m_cmdDelete; }

    // Lists again at once (the filter normally waits for a pause in typing).
    void Refill();
    void cmdOpen_Click();
    void cmdDelete_Click();

private:
    std::vector<qint64> SelectedIds() const;
    void ShowSelected();

    ClosedQueries& m_queries;
    const clsMsg& m_messages;
    QLineEdit* m_txtFilter;
    QTreeWidget* m_lstQueries;
    QPlainTextEdit* m_txtPreview;
    QPushButton* m_cmdOpen;
    QPushButton* m_cmdDelete;
    QPushButton* m_cmdClose;
    QTimer* m_filterPause;
    std::vector<qint64> m_chosen;
};

} // namespace brindle
