#include "shell/frm_main.h"

#include "core/error.h"
#include "core/error_steps.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "shell/frm_sql.h"
#include "shell/process_state.h"
#include "editor/rich_text_editor.h"

#include <QComboBox>

#include <new>

namespace brindle {

namespace {

enum class GridMove { First, Previous, Next, Last };

struct GridButtonAction {
    const char16_t* key;
    GridMove move;
    int times;
};

// The grid toolbar's keys in button order; the first exact match wins.
constexpr GridButtonAction GridButtonActions[] = {
    {u"START", GridMove::First, 1},       {u"DBL_BACK", GridMove::Previous, 10},
    {u"SGL_BACK", GridMove::Previous, 1}, {u"SGL_NEXT", GridMove::Next, 1},
    {u"DBL_NEXT", GridMove::Next, 10},    {u"END", GridMove::Last, 1},
};

void Move(Recordset& recordset, GridMove move) {
    switch (move) {
    case GridMove::First:
        recordset.MoveFirst();
        break;
    case GridMove::Previous:
        recordset.MovePrevious();
        break;
    case GridMove::Next:
        recordset.MoveNext();
        break;
    case GridMove::Last:
        recordset.MoveLast();
        break;
    }
}

} // namespace

void frmMain::setDbmsNameSource(std::function<QString()> source) {
    m_dbmsName = std::move(source);
}

void frmMain::SetCboTable() {
    // Any failure ends the fill silently; the list keeps what it has by then.
    try {
        if (!gcnDB)
            return;
        const QString dbms = m_dbmsName ? m_dbmsName() : gcnDB->DbmsName();
        if (dbms != QStringLiteral("Microsoft SQL Server")) {
            m_cboTable->setVisible(false);
            return;
        }
        m_cboTable->setVisible(true);
        Recordset tables;
        m_cboTable->clear();
        if (gcnDB->State() != 0) {
            Command query;
            query.setActiveConnection(gcnDB.get());
            query.setCommandText(
                QStringLiteral("SELECT name FROM sysobjects WHERE type = 'U' ORDER BY name"));
            tables.Open(query);
        }
        // On a connection that was closed the result set never opened, and
        // this test fails: the list stays visible and empty.
        while (!tables.IsEOF()) {
            m_cboTable->addItem(tables.Value(QStringLiteral("name")).toString());
            tables.MoveNext();
        }
    } catch (const Error&) {
    } catch (const std::bad_alloc&) {
    }
}

void frmMain::cboTable_Click() {
    if (gintDocCount < 1)
        LoadNewDoc();
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    RichTextEditor* editor = doc->txtQry();
    editor->SetFocus();
    // One undoable edit through the editor's change event, so it is coloured.
    editor->ReplaceText(QStringLiteral("SELECT * FROM ") + m_cboTable->currentText());
    editor->setSelStart(0);
}

void frmMain::tlbGrid_ButtonClick(const QString& key) {
    // Every failure is silent: no document, a closed result set, a move past
    // either end. Each of a double move's ten steps is tried.
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    // The buttons move through the result shown, which is the document's
    // result set unless another result of the run is.
    Recordset& recordset = doc->ShownRecordSet();
    // Edits that cannot be written keep the grid on their record.
    if (&recordset == &doc->RecordSet() && !doc->CommitGridEdit())
        return;
    for (const GridButtonAction& action : GridButtonActions) {
        if (key != QStringView(action.key))
            continue;
        for (int i = 0; i < action.times; ++i)
            Step([&] { Move(recordset, action.move); });
        break;
    }
    doc->SyncGridToRecord();
}

} // namespace brindle
