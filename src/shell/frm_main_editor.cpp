#include "core/error.h"
#include "editor/editor_commands.h"
#include "editor/editor_replace.h"
#include "editor/editor_zoom.h"
#include "editor/frm_go_to_line.h"
#include "editor/line_number_margin.h"
#include "editor/rich_text_editor.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "store/preferences.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace brindle {

namespace {

const QString LineNumbersPreference = QStringLiteral("editor.line_numbers");

struct CommandDef {
    const char16_t* name;
    const char16_t* caption;
    // Keys that run it; the first is shown in the menu.
    std::vector<QKeySequence> keys;
};

} // namespace

void frmMain::BuildEditorCommands() {
    const auto add = [this](QMenu* menu, QAction* before, const CommandDef& def) {
        auto* action = new QAction(QString::fromUtf16(def.caption), menu);
        action->setObjectName(QString::fromUtf16(def.name));
        if (!def.keys.empty()) {
            action->setShortcuts(QList<QKeySequence>(def.keys.begin(), def.keys.end()));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        menu->insertAction(before, action);
        m_menuItems.insert(action->objectName(), action);
        const QString name = action->objectName();
        connect(action, &QAction::triggered, this, [this, name] { RunMenuItem(name); });
        return action;
    };
    const auto bar = [this](QMenu* menu, QAction* before, const char16_t* name) {
        QAction* separator = menu->insertSeparator(before);
        separator->setObjectName(QString::fromUtf16(name));
        m_menuItems.insert(separator->objectName(), separator);
    };

    // The batch at the caret runs beside the run of the selection.
    if (QMenu* query = Menu(QStringLiteral("mnuQry"))) {
        add(query, MenuItem(QStringLiteral("mnuQryBar1")),
            {u"mnuQryExecBatch",
             u"カーソル位置のバッチを実行(&B)",
             {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}});
    }
    if (QMenu* edit = Menu(QStringLiteral("mnuEdit"))) {
        QAction* searchBar = MenuItem(QStringLiteral("mnuEditBar"));
        add(edit, searchBar,
            {u"mnuEditReplace", u"置換(&H)...", {QKeySequence(Qt::CTRL | Qt::Key_H)}});
        add(edit, searchBar,
            {u"mnuEditGoToLine", u"指定行へ移動(&G)...", {QKeySequence(Qt::CTRL | Qt::Key_G)}});
        bar(edit, nullptr, u"mnuEditBar2");
        add(edit, nullptr,
            {u"mnuEditComment",
             u"行コメントの切り替え(&M)",
             {QKeySequence(Qt::CTRL | Qt::Key_Slash)}});
        // Tab and Shift+Tab do these in the editor when several lines are
        // selected; they are not the items' shortcuts, which would take the
        // keys from every other control.
        add(edit, nullptr, {u"mnuEditIndent", u"インデント(&I)\tTab", {}});
        add(edit, nullptr, {u"mnuEditOutdent", u"インデント解除(&U)\tShift+Tab", {}});
    }
    auto* view = new QMenu(QStringLiteral("表示(&V)"), this);
    view->setObjectName(QStringLiteral("mnuView"));
    view->menuAction()->setObjectName(QStringLiteral("mnuView"));
    QMenu* font = Menu(QStringLiteral("mnuFont"));
    menuBar()->insertMenu(font ? font->menuAction() : nullptr, view);
    m_menus.insert(view->objectName(), view);
    QAction* numbers = add(view, nullptr, {u"mnuViewLineNumbers", u"行番号(&L)", {}});
    numbers->setCheckable(true);
    bar(view, nullptr, u"mnuViewBar");
    add(view, nullptr,
        {u"mnuViewZoomIn",
         u"拡大(&I)",
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}});
    add(view, nullptr, {u"mnuViewZoomOut", u"縮小(&O)", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}});
    // Ctrl+0 is the grid's: it sets a cell to NULL.
    add(view, nullptr, {u"mnuViewZoomReset", u"元のサイズに戻す(&R)", {}});

    if (m_services.preferences) {
        if (const auto stored = m_services.preferences->Read(LineNumbersPreference))
            m_lineNumbers = *stored != QStringLiteral("0");
    }
    numbers->setChecked(m_lineNumbers);
}

void frmMain::AttachEditorCommands(frmSQL& doc) {
    doc.lineNumbers()->SetShown(m_lineNumbers);
    AttachCompletion(doc);
    RichTextEditor* editor = doc.txtQry();
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, this, [this, &doc](const QPoint& at) {
        const std::unique_ptr<QMenu> menu = EditorContextMenu(doc);
        menu->exec(doc.txtQry()->mapToGlobal(at));
    });
}

std::unique_ptr<QMenu> frmMain::EditorContextMenu(frmSQL& doc) {
    std::unique_ptr<QMenu> menu(doc.txtQry()->createStandardContextMenu());
    menu->addSeparator();
    for (const char16_t* name : {u"mnuEditReplace", u"mnuEditGoToLine", u"mnuEditComment",
                                 u"mnuEditIndent", u"mnuEditOutdent"}) {
        if (QAction* item = MenuItem(QString::fromUtf16(name)))
            menu->addAction(item);
    }
    return menu;
}

void frmMain::mnuQryExecBatch_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    RichTextEditor& editor = *doc->txtQry();
    // A selection runs as it is, as F5 runs it.
    if (editor.SelLength() == 0 && !SelectBatchAtCaret(editor)) {
        SetPanelText(QStringLiteral("MESSAGE"),
                     QStringLiteral("カーソル位置に実行するバッチがありません。"));
        return;
    }
    mnuQryExec_Click();
}

void frmMain::mnuEditReplace_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    RichTextEditor& editor = *doc->txtQry();
    // A word selected is what to find; several lines selected are where.
    ReplaceRequest initial = m_lastReplace;
    if (SelectionSpansLines(editor))
        initial.inSelection = true;
    else if (editor.SelLength() > 0)
        initial.findWhat = editor.SelText();
    EditorReplace actions(editor);
    m_lastReplace = m_services.replace->Show(this, initial, actions.HasScope(), actions);
}

void frmMain::mnuEditGoToLine_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    RichTextEditor& editor = *doc->txtQry();
    frmGoToLine dialog(CaretLine(editor), editor.blockCount(), this);
    if (m_services.modal->Run(dialog) != QDialog::Accepted)
        return;
    GoToLine(editor, dialog.Line());
    editor.SetFocus();
}

void frmMain::mnuEditComment_Click() {
    if (frmSQL* doc = ActiveForm())
        ToggleLineComments(*doc->txtQry());
}

void frmMain::mnuEditIndent_Click() {
    if (frmSQL* doc = ActiveForm())
        IndentLines(*doc->txtQry());
}

void frmMain::mnuEditOutdent_Click() {
    if (frmSQL* doc = ActiveForm())
        OutdentLines(*doc->txtQry());
}

void frmMain::mnuViewLineNumbers_Click() {
    m_lineNumbers = !m_lineNumbers;
    if (QAction* item = MenuItem(QStringLiteral("mnuViewLineNumbers")))
        item->setChecked(m_lineNumbers);
    for (frmSQL* doc : Documents())
        doc->lineNumbers()->SetShown(m_lineNumbers);
    if (!m_services.preferences)
        return;
    try {
        m_services.preferences->Write(LineNumbersPreference,
                                      m_lineNumbers ? QStringLiteral("1") : QStringLiteral("0"));
    } catch (const Error&) {
        // The choice holds for this session; a store that cannot be written
        // is the journal's to report, once.
    }
}

void frmMain::mnuViewZoomIn_Click() {
    if (frmSQL* doc = ActiveForm())
        doc->zoom()->ZoomIn();
}

void frmMain::mnuViewZoomOut_Click() {
    if (frmSQL* doc = ActiveForm())
        doc->zoom()->ZoomOut();
}

void frmMain::mnuViewZoomReset_Click() {
    if (frmSQL* doc = ActiveForm())
        doc->zoom()->Reset();
}

} // namespace brindle
