#pragma once

#include "editor/replace_service.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

// The replace dialog: what to find, what to put in its place, the options,
// and the buttons that act on the document at once; it stays open until
// closed, and says under its fields what the last button did.
class frmReplace : public QDialog {
    Q_OBJECT
public:
    frmReplace(const ReplaceRequest& last, bool selection, ReplaceActions& actions,
               QWidget* parent = nullptr);

    ReplaceRequest Request() const;

    QLineEdit* txtFind() const { return m_txtFind; }
    QLineEdit* txtReplace() const { return m_txtReplace; }
    QCheckBox* chkMatchCase() const { return m_chkMatchCase; }
    QCheckBox* chkWholeWord() const { return m_chkWholeWord; }
    QCheckBox* chkRegex() const { return m_chkRegex; }
    QCheckBox* chkSelection() const { return m_chkSelection; }
    QPushButton* cmdFindNext() const { return m_cmdFindNext; }
    QPushButton* cmdReplace() const { return m_cmdReplace; }
    QPushButton* cmdReplaceAll() const { return m_cmdReplaceAll; }
    QPushButton* cmdClose() const { return m_cmdClose; }
    QLabel* lblMessage() const { return m_lblMessage; }

private:
    void Act(QString (ReplaceActions::*action)(const ReplaceRequest&));

    ReplaceActions& m_actions;
    QLineEdit* m_txtFind;
    QLineEdit* m_txtReplace;
    QCheckBox* m_chkMatchCase;
    QCheckBox* m_chkWholeWord;
    QCheckBox* m_chkRegex;
    QCheckBox* m_chkSelection;
    QPushButton* m_cmdFindNext;
    QPushButton* m_cmdReplace;
    QPushButton* m_cmdReplaceAll;
    QPushButton* m_cmdClose;
    QLabel* m_lblMessage;
};

class QtReplaceDialogService final : public ReplaceDialogService {
public:
    ReplaceRequest Show(QWidget* parent, const ReplaceRequest& last, bool selection,
                        ReplaceActions& actions) override;
};

} // namespace brindle
