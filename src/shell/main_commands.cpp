#include "shell/main_commands.h"

namespace brindle {

namespace {

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

MenuItemDef Item(const char16_t* name, const char16_t* caption, const char16_t* shortcut = u"") {
    return {S(name), S(caption), S(shortcut)};
}

MenuItemDef Bar(const char16_t* name) {
    return {S(name), QStringLiteral("-"), QString()};
}

} // namespace

const std::vector<MenuDef>& MainMenuTree() {
    static const std::vector<MenuDef> tree = {
        {S(u"mnuFile"),
         S(u"ファイル(&F)"),
         {Item(u"mnuFileConnect", u"データ ソース接続(&C)...", u"F4"), Bar(u"mnuFileBar1"),
          Item(u"mnuFileNew", u"新規作成(N)...", u"Ctrl+N"), Bar(u"mnuFileBar2"),
          Item(u"mnuFileOpen", u"SQL ファイルを開く(&O)...", u"Ctrl+O"),
          Item(u"mnuFileSave", u"SQL ファイルを保存(&S)...", u"Ctrl+S"), Bar(u"mnuFileBar3"),
          Item(u"mnuFileEnd", u"終了(&X)")}},
        {S(u"mnuQry"),
         S(u"クエリ(&Q)"),
         {Item(u"mnuQryExec", u"実行(&R)", u"F5"), Bar(u"mnuQryBar1"),
          Item(u"mnuQryArrange", u"整形(&A)", u"F9"), Bar(u"mnuQryBar2"),
          Item(u"mnuQryTimeout", u"クエリ タイムアウト(&T)...")}},
        {S(u"mnuEdit"),
         S(u"編集(&E)"),
         {Item(u"mnuEditSearch", u"検索(&F)...", u"Ctrl+F"),
          Item(u"mnuEditResearch", u"再検索(&R)", u"F3"), Bar(u"mnuEditBar"),
          Item(u"mnuEditAll", u"すべて選択(&A)", u"Ctrl+A")}},
        {S(u"mnuFont"), S(u"書式(&O)"), {Item(u"mnuFontFont", u"フォント(&F)...")}},
        {S(u"mnuTool"), S(u"ツール(&T)"), {Item(u"mnuToolExcel", u"エクセルに貼り付け(&E)...")}},
        {S(u"mnuWindow"),
         S(u"ウィンドウ(&W)"),
         {Item(u"mnuWindowNewWindow", u"新しいウィンドウを開く(&N)"), Bar(u"mnuWindowBar"),
          Item(u"mnuWindowCascade", u"重ねて表示(&C)"),
          Item(u"mnuWindowTileHorizontal", u"上下に並べて表示(&H)"),
          Item(u"mnuWindowTileVertical", u"左右に並べて表示(&V)"),
          Item(u"mnuWindowArrangeIcons", u"アイコンの整列(&A)")}},
        {S(u"mnuHelp"), S(u"ヘルプ(&H)"), {Item(u"mnuHelpVersion", u"バージョン(&A)...")}},
    };
    return tree;
}

const std::vector<ToolButtonDef>& MainToolbarButtons() {
    static const std::vector<ToolButtonDef> buttons = {
        {S(u"CONNECT"), S(u"データ ソース接続"), S(u"mnuFileConnect"), S(u"connect")},
        {S(u"NEW"), S(u"新規作成"), S(u"mnuFileNew"), S(u"new")},
        {S(u"OPEN"), S(u"SQL ファイルを開く"), S(u"mnuFileOpen"), S(u"open")},
        {S(u"SAVE"), S(u"SQL ファイルを保存"), S(u"mnuFileSave"), S(u"save")},
        {S(u"EXEC"), S(u"実行"), S(u"mnuQryExec"), S(u"exec")},
        {S(u"ARRANGE"), S(u"整形"), S(u"mnuQryArrange"), S(u"arrange")},
        {S(u"TIMEOUT"), S(u"クエリ タイムアウト"), S(u"mnuQryTimeout"), S(u"timeout")},
        {S(u"SEARCH"), S(u"検索"), S(u"mnuEditSearch"), S(u"search")},
        {S(u"EXCEL"), S(u"エクセルに貼り付け"), S(u"mnuToolExcel"), S(u"excel")},
        {S(u"CASCADE"), S(u"重ねて表示"), S(u"mnuWindowCascade"), S(u"cascade")},
        {S(u"HORIZONTAL"), S(u"上下に並べて表示"), S(u"mnuWindowTileHorizontal"), S(u"horizontal")},
        {S(u"VERTICAL"), S(u"左右に並べて表示"), S(u"mnuWindowTileVertical"), S(u"vertical")},
    };
    return buttons;
}

const std::vector<ToolButtonDef>& GridToolbarButtons() {
    static const std::vector<ToolButtonDef> buttons = {
        {S(u"START"), S(u"最初のレコード"), QString(), S(u"start")},
        {S(u"DBL_BACK"), S(u"10件戻る"), QString(), S(u"dbl_back")},
        {S(u"SGL_BACK"), S(u"1件戻る"), QString(), S(u"sgl_back")},
        {S(u"SGL_NEXT"), S(u"1件進む"), QString(), S(u"sgl_next")},
        {S(u"DBL_NEXT"), S(u"10件進む"), QString(), S(u"dbl_next")},
        {S(u"END"), S(u"最後のレコード"), QString(), S(u"end")},
    };
    return buttons;
}

QString MenuItemForToolbarKey(const QString& key) {
    for (const ToolButtonDef& button : MainToolbarButtons()) {
        if (button.key == key)
            return button.menuItem;
    }
    return {};
}

const std::vector<QString>& DocumentMenuItems() {
    static const std::vector<QString> items = {
        S(u"mnuFileSave"), S(u"mnuWindowCascade"), S(u"mnuWindowTileHorizontal"),
        S(u"mnuWindowTileVertical"), S(u"mnuWindowArrangeIcons")};
    return items;
}

const std::vector<QString>& DocumentMenus() {
    static const std::vector<QString> menus = {S(u"mnuQry"), S(u"mnuEdit"), S(u"mnuView"),
                                               S(u"mnuFont"), S(u"mnuTool")};
    return menus;
}

const std::vector<QString>& DocumentToolbarKeys() {
    static const std::vector<QString> keys = {S(u"SAVE"),    S(u"EXEC"),       S(u"ARRANGE"),
                                              S(u"TIMEOUT"), S(u"SEARCH"),     S(u"EXCEL"),
                                              S(u"CASCADE"), S(u"HORIZONTAL"), S(u"VERTICAL")};
    return keys;
}

} // namespace brindle
