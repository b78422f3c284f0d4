#pragma once

#include <QString>

#include <vector>

namespace brindle {

// One item of the main window's menu tree. A separator has the caption "-".
struct MenuItemDef {
    QString name;     // control name, e.g. "mnuFileNew"
    QString caption;  // with its & access key, exactly as shown
    QString shortcut; // portable key text ("F4", "Ctrl+N") or empty
};

struct MenuDef {
    QString name;
    QString caption;
    std::vector<MenuItemDef> items;
};

// A keyed toolbar button. `menuItem` is the menu item it stands for (main
// toolbar); `icon` names the image under :/icons.
struct ToolButtonDef {
    QString key;
    QString toolTip;
    QString menuItem;
    QString icon;
};

const std::vector<MenuDef>& MainMenuTree();
const std::vector<ToolButtonDef>& MainToolbarButtons();
const std::vector<ToolButtonDef>& GridToolbarButtons();

// The menu item a main-toolbar key runs: the first row whose key equals it
// exactly (case-sensitive); empty for a key that matches nothing.
QString MenuItemForToolbarKey(const QString& key);

// What EnabledControls switches with the number of open documents.
const std::vector<QString>& DocumentMenuItems();   // single items
const std::vector<QString>& DocumentMenus();       // whole menus
const std::vector<QString>& DocumentToolbarKeys(); // main-toolbar keys

} // namespace brindle
