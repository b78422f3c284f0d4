#pragma once

#include "store/kept_document.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace brindle {

// "クエリの復元": the documents of instances that ended without closing, to
// be restored (all checked at first) or discarded. Discarded ones stay among
// the closed queries.
class frmRestore final : public QDialog {
    Q_OBJECT
public:
    frmRestore(const std::vector<store::KeptDocument>& documents, QWidget* parent = nullptr);

    // The checked documents once 復元 was pressed, in the order listed; none
    // after 破棄, Esc or the close box.
    std::vector<qint64> Chosen() const { return m_chosen; }

    QTreeWidget* lstQueries() const { return m_lstQueries; }
    QPushButton* cmdRestore() const { return m_cmdRestore; }
    QPushButton* cmdDiscard() const { return m_cmdDiscard; }

    void cmdRestore_Click();
    void cmdDiscard_Click();

private:
    QLabel* m_lblMsg;
    QTreeWidget* m_lstQueries;
    QPushButton* m_cmdRestore;
    QPushButton* m_cmdDiscard;
    std::vector<qint64> m_chosen;
};

} // namespace brindle
