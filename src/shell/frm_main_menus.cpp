#include "shell/frm_main.h"

#include "shell/frm_sql.h"
#include "shell/main_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace brindle {

namespace {

using Handler = void (frmMain::*)();

Handler HandlerFor(const QString& name) {
    static const QHash<QString, Handler> handlers = {
        {QStringLiteral("mnuFileConnect"), &frmMain::mnuFileConnect_Click},
        {QStringLiteral("mnuFileNew"), &frmMain::mnuFileNew_Click},
        {QStringLiteral("mnuFileOpen"), &frmMain::mnuFileOpen_Click},
        {QStringLiteral("mnuFileSave"), &frmMain::mnuFileSave_Click},
        {QStringLiteral("mnuFileEnd"), &frmMain::mnuFileEnd_Click},
        {QStringLiteral("mnuQryExec"), &frmMain::mnuQryExec_Click},
        {QStringLiteral("mnuQryArrange"), &frmMain::mnuQryArrange_Click},
        {QStringLiteral("mnuQryTimeout"), &frmMain::mnuQryTimeout_Click},
        {QStringLiteral("mnuEditSearch"), &frmMain::mnuEditSearch_Click},
        {QStringLiteral("mnuEditResearch"), &frmMain::mnuEditResearch_Click},
        {QStringLiteral("mnuEditAll"), &frmMain::mnuEditAll_Click},
        {QStringLiteral("mnuFontFont"), &frmMain::mnuFontFont_Click},
        {QStringLiteral("mnuToolExcel"), &frmMain::mnuToolExcel_Click},
        {QStringLiteral("mnuWindowNewWindow"), &frmMain::mnuWindowNewWindow_Click},
        {QStringLiteral("mnuWindowCascade"), &frmMain::mnuWindowCascade_Click},
        {QStringLiteral("mnuWindowTileHorizontal"), &frmMain::mnuWindowTileHorizontal_Click},
        {QStringLiteral("mnuWindowTileVertical"), &frmMain::mnuWindowTileVertical_Click},
        {QStringLiteral("mnuWindowArrangeIcons"), &frmMain::mnuWindowArrangeIcons_Click},
        {QStringLiteral("mnuHelpVersion"), &frmMain::mnuHelpVersion_Click},
        {QStringLiteral("mnuQryExecBatch"), &frmMain::mnuQryExecBatch_Click},
        {QStringLiteral("mnuEditReplace"), &frmMain::mnuEditReplace_Click},
        {QStringLiteral("mnuEditGoToLine"), &frmMain::mnuEditGoToLine_Click},
        {QStringLiteral("mnuEditComment"), &frmMain::mnuEditComment_Click},
        {QStringLiteral("mnuEditIndent"), &frmMain::mnuEditIndent_Click},
        {QStringLiteral("mnuEditOutdent"), &frmMain::mnuEditOutdent_Click},
        {QStringLiteral("mnuViewLineNumbers"), &frmMain::mnuViewLineNumbers_Click},
        {QStringLiteral("mnuViewZoomIn"), &frmMain::mnuViewZoomIn_Click},
        {QStringLiteral("mnuViewZoomOut"), &frmMain::mnuViewZoomOut_Click},
        {QStringLiteral("mnuViewZoomReset"), &frmMain::mnuViewZoomReset_Click},
        {QStringLiteral("mnuViewObjects"), &frmMain::mnuViewObjects_Click},
        {QStringLiteral("mnuEditComplete"), &frmMain::mnuEditComplete_Click},
    };
    return handlers.value(name, nullptr);
}

} // namespace

void frmMain::BuildMenus() {
    for (const MenuDef& def : MainMenuTree()) {
        QMenu* menu = menuBar()->addMenu(def.caption);
        menu->setObjectName(def.name);
        menu->menuAction()->setObjectName(def.name);
        m_menus.insert(def.name, menu);
        for (const MenuItemDef& item : def.items) {
            QAction* action = item.caption == QStringLiteral("-") ? menu->addSeparator()
                                                                  : menu->addAction(item.caption);
            action->setObjectName(item.name);
            if (!item.shortcut.isEmpty()) {
                action->setShortcut(QKeySequence(item.shortcut, QKeySequence::PortableText));
                action->setShortcutContext(Qt::WindowShortcut);
            }
            m_menuItems.insert(item.name, action);
            if (!action->isSeparator()) {
                const QString name = item.name;
                connect(action, &QAction::triggered, this, [this, name] { RunMenuItem(name); });
            }
        }
    }
    if (QMenu* window = Menu(QStringLiteral("mnuWindow")))
        connect(window, &QMenu::aboutToShow, this, [this] { RefreshWindowList(); });
}

void frmMain::RunMenuItem(const QString& name) {
    const Handler handler = HandlerFor(name);
    if (!handler)
        return;
    emit MenuItemRun(name);
    (this->*handler)();
}

// The window menu lists the open documents below its own items; choosing one
// activates it.
void frmMain::RefreshWindowList() {
    QMenu* window = Menu(QStringLiteral("mnuWindow"));
    if (!window)
        return;
    for (QAction* action : std::as_const(m_windowListActions)) {
        window->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> subs = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty())
        return;
    m_windowListActions.append(window->addSeparator());
    int number = 0;
    for (QMdiSubWindow* sub : subs) {
        ++number;
        const QString caption = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        QAction* action = window->addAction(u'&' + QString::number(number) + u' ' + caption);
        action->setCheckable(true);
        action->setChecked(sub == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, sub] {
            if (m_mdiArea->subWindowList().contains(sub))
                m_mdiArea->setActiveSubWindow(sub);
        });
        m_windowListActions.append(action);
    }
}

} // namespace brindle
