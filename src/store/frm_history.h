#pragma once

#include "store/history_list_model.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace brindle {

class clsMsg;

// "クエリ履歴": every batch that ran, newest first, narrowed as the user
// types; the selected entries are opened as new documents or inserted at the
// caret of the active one. Without a source (no store to read) it says that
// the history is not available.
class frmHistory final : public QDialog {
    Q_OBJECT
public:
    enum class Action { None, Open, Insert };

    frmHistory(store::HistorySource* source, const QString& unavailable, const clsMsg& messages,
               QWidget* parent = nullptr);

    // Once the dialog was accepted: what to do with the texts, oldest first.
    Action Chosen() const { return m_action; }
    QStringList ChosenTexts() const { return m_texts; }

    QLineEdit* txtFilter() const { return m_txtFilter; }
    QComboBox* cboDataSource() const { return m_cboDataSource; }
    QCheckBox* chkFailures() const { return m_chkFailures; }
    QTableView* lstHistory() const { return m_lstHistory; }
    QPlainTextEdit* txtPreview() const { return m_txtPreview; }
    QLabel* lblMessage() const { return m_lblMessage; }
    store::HistoryListModel* Model() const { return m_model; }

    void Refill();
    void cmdOpen_Click();
    void cmdInsert_Click();
    void cmdCopy_Click();
    void cmdDelete_Click();
    void cmdClear_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<qint64> SelectedIds() const;
    // Texts of the selected entries, oldest first; empty after a failure told.
    QStringList SelectedTexts();
    void ShowSelected();
    void Choose(Action action);
    void ShowUnavailable(const QString& why);

    store::HistorySource* m_source;
    const clsMsg& m_messages;
    store::HistoryListModel* m_model = nullptr;
    QLineEdit* m_txtFilter;
    QComboBox* m_cboDataSource;
    QCheckBox* m_chkFailures;
    QTableView* m_lstHistory;
    QPlainTextEdit* m_txtPreview;
    QLabel* m_lblMessage;
    QList<QPushButton*> m_entryButtons; // enabled with a selection
    QPushButton* m_cmdClear;
    Action m_action = Action::None;
    QStringList m_texts;
};

} // namespace brindle
