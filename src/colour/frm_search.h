#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

class RichTextEditor;

// The search dialog: the word and the case option. OK stores both in the
// process-wide search state and the case option in the settings store.
class frmSearch : public QDialog {
    Q_OBJECT
public:
    explicit frmSearch(QWidget* parent = nullptr);

    QLineEdit* txtWord() const { return m_txtWord; }
    QCheckBox* chkUpperConv() const { return m_chkUpperConv; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void Form_Load();

    QLabel* m_imgIcon;
    QLabel* m_lblMsg;
    QLabel* m_lblSearch;
    QLineEdit* m_txtWord;
    QCheckBox* m_chkUpperConv;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
};

// Selects the first occurrence of `word` at or after the 1-based `start` in
// the editor's text; leaves the selection alone when there is none.
void SearchWord(RichTextEditor& editor, qsizetype start, const QString& word, bool ignoreCase);

} // namespace brindle
