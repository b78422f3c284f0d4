#include "main_window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>

using namespace brindle;
using brindle::test::MainWindowTest;

namespace {

struct Expected {
    const char16_t* menu;
    const char16_t* name;
    const char16_t* caption;
    const char16_t* shortcut;
};

// Written out from the product's menu table, not from the code.
const Expected kMenuTree[] = {
    {u"ファイル(&F)", u"mnuFileConnect", u"データ ソース接続(&C)...", u"F4"},
    {u"ファイル(&F)", u"mnuFileBar1", u"-", u""},
    {u"ファイル(&F)", u"mnuFileNew", u"新規作成(N)...", u"Ctrl+N"},
    {u"ファイル(&F)", u"mnuFileBar2", u"-", u""},
    {u"ファイル(&F)", u"mnuFileOpen", u"SQL ファイルを開く(&O)...", u"Ctrl+O"},
    {u"ファイル(&F)", u"mnuFileSave", u"SQL ファイルを保存(&S)...", u"Ctrl+S"},
    {u"ファイル(&F)", u"mnuFileBar3", u"-", u""},
    {u"ファイル(&F)", u"mnuFileEnd", u"終了(&X)", u""},
    {u"クエリ(&Q)", u"mnuQryExec", u"実行(&R)", u"F5"},
    {u"クエリ(&Q)", u"mnuQryBar1", u"-", u""},
    {u"クエリ(&Q)", u"mnuQryArrange", u"整形(&A)", u"F9"},
    {u"クエリ(&Q)", u"mnuQryBar2", u"-", u""},
    {u"クエリ(&Q)", u"mnuQryTimeout", u"クエリ タイムアウト(&T)...", u""},
    {u"編集(&E)", u"mnuEditSearch", u"検索(&F)...", u"Ctrl+F"},
    {u"編集(&E)", u"mnuEditResearch", u"再検索(&R)", u"F3"},
    {u"編集(&E)", u"mnuEditBar", u"-", u""},
    {u"編集(&E)", u"mnuEditAll", u"すべて選択(&A)", u"Ctrl+A"},
    {u"書式(&O)", u"mnuFontFont", u"フォント(&F)...", u""},
    {u"ツール(&T)", u"mnuToolExcel", u"エクセルに貼り付け(&E)...", u""},
    {u"ウィンドウ(&W)", u"mnuWindowNewWindow", u"新しいウィンドウを開く(&N)", u""},
    {u"ウィンドウ(&W)", u"mnuWindowBar", u"-", u""},
    {u"ウィンドウ(&W)", u"mnuWindowCascade", u"重ねて表示(&C)", u""},
    {u"ウィンドウ(&W)", u"mnuWindowTileHorizontal", u"上下に並べて表示(&H)", u""},
    {u"ウィンドウ(&W)", u"mnuWindowTileVertical", u"左右に並べて表示(&V)", u""},
    {u"ウィンドウ(&W)", u"mnuWindowArrangeIcons", u"アイコンの整列(&A)", u""},
    {u"ヘルプ(&H)", u"mnuHelpVersion", u"バージョン(&A)...", u""},
};

const struct {
    const char16_t* key;
    const char16_t* tip;
    const char16_t* item;
} kMainButtons[] = {
    {u"CONNECT", u"データ ソース接続", u"mnuFileConnect"},
    {u"NEW", u"新規作成", u"mnuFileNew"},
    {u"OPEN", u"SQL ファイルを開く", u"mnuFileOpen"},
    {u"SAVE", u"SQL ファイルを保存", u"mnuFileSave"},
    {u"EXEC", u"実行", u"mnuQryExec"},
    {u"ARRANGE", u"整形", u"mnuQryArrange"},
    {u"TIMEOUT", u"クエリ タイムアウト", u"mnuQryTimeout"},
    {u"SEARCH", u"検索", u"mnuEditSearch"},
    {u"EXCEL", u"エクセルに貼り付け", u"mnuToolExcel"},
    {u"CASCADE", u"重ねて表示", u"mnuWindowCascade"},
    {u"HORIZONTAL", u"上下に並べて表示", u"mnuWindowTileHorizontal"},
    {u"VERTICAL", u"左右に並べて表示", u"mnuWindowTileVertical"},
};

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

} // namespace

TEST_F(MainWindowTest, MenuTreeHasEveryCaptionAndShortcutInOrder) {
    frmMain& w = Open();
    std::vector<std::pair<QString, QAction*>> actual;
    std::vector<QAction*> added;
    QSet<QString> specified;
    QSet<QKeySequence> specifiedKeys;
    for (const Expected& e : kMenuTree) {
        specified.insert(Q(e.name));
        if (!Q(e.shortcut).isEmpty())
            specifiedKeys.insert(QKeySequence(Q(e.shortcut), QKeySequence::PortableText));
    }
    const QList<QAction*> menus = w.menuBar()->actions();
    for (QAction* menuAction : menus) {
        const QList<QAction*> items = menuAction->menu()->actions();
        for (QAction* item : items) {
            if (specified.contains(item->objectName()))
                actual.emplace_back(menuAction->text(), item);
            else if (!item->objectName().isEmpty())
                added.push_back(item);
        }
    }
    // Items of our own may stand between them, never on their shortcuts.
    for (const QAction* item : added) {
        SCOPED_TRACE(item->objectName().toStdString());
        EXPECT_FALSE(specifiedKeys.contains(item->shortcut()));
    }
    ASSERT_EQ(actual.size(), std::size(kMenuTree));
    for (size_t i = 0; i < actual.size(); ++i) {
        const Expected& e = kMenuTree[i];
        SCOPED_TRACE(Q(e.name).toStdString());
        EXPECT_EQ(actual[i].first, Q(e.menu));
        QAction* item = actual[i].second;
        EXPECT_EQ(item->objectName(), Q(e.name));
        if (Q(e.caption) == QStringLiteral("-")) {
            EXPECT_TRUE(item->isSeparator());
        } else {
            EXPECT_EQ(item->text(), Q(e.caption));
            EXPECT_EQ(item->shortcut(), QKeySequence(Q(e.shortcut), QKeySequence::PortableText));
        }
    }
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Brindle"));
}

TEST_F(MainWindowTest, ToolbarsCarryTheirKeysAndToolTipsInOrder) {
    frmMain& w = Open();
    QStringList keys;
    const QList<QAction*> mainActions = w.tlbMain()->actions();
    for (QAction* a : mainActions) {
        if (!a->isSeparator())
            keys.append(a->objectName());
    }
    ASSERT_EQ(keys.size(), static_cast<qsizetype>(std::size(kMainButtons)));
    for (size_t i = 0; i < std::size(kMainButtons); ++i) {
        SCOPED_TRACE(Q(kMainButtons[i].key).toStdString());
        EXPECT_EQ(keys[static_cast<qsizetype>(i)], Q(kMainButtons[i].key));
        EXPECT_EQ(w.MainButton(Q(kMainButtons[i].key))->toolTip(), Q(kMainButtons[i].tip));
        EXPECT_FALSE(w.MainButton(Q(kMainButtons[i].key))->icon().isNull());
    }
    const std::pair<const char16_t*, const char16_t*> grid[] = {
        {u"START", u"最初のレコード"}, {u"DBL_BACK", u"10件戻る"}, {u"SGL_BACK", u"1件戻る"},
        {u"SGL_NEXT", u"1件進む"},     {u"DBL_NEXT", u"10件進む"}, {u"END", u"最後のレコード"},
    };
    int lastX = -1;
    for (const auto& [key, tip] : grid) {
        SCOPED_TRACE(Q(key).toStdString());
        QToolButton* button = w.GridButton(Q(key));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), Q(tip));
        EXPECT_GT(button->x(), lastX) << "left to right";
        lastX = button->x();
    }
    EXPECT_EQ(w.cboTable()->toolTip(), QStringLiteral("テーブルの指定"));
    EXPECT_EQ(w.cboTable()->x() * 15, 2280);
    EXPECT_EQ(w.cboTable()->width() * 15, 3495);
    // The grid toolbar stands directly above the status bar.
    EXPECT_EQ(w.toolBarArea(w.tlbGrid()), Qt::BottomToolBarArea);
    EXPECT_EQ(w.toolBarArea(w.tlbMain()), Qt::TopToolBarArea);
    EXPECT_EQ(w.Panel(QStringLiteral("MESSAGE"))->width() * 15, 3000);
    EXPECT_EQ(w.Panel(QStringLiteral("DSN"))->width(), 267); // 4000 twips
}

TEST_F(MainWindowTest, ToolbarKeysDispatchToTheirMenuItems) {
    frmMain& w = Open();
    w.LoadNewDoc();
    QStringList ran;
    QObject::connect(&w, &frmMain::MenuItemRun, [&ran](const QString& name) { ran.append(name); });
    for (const auto& b : kMainButtons) {
        SCOPED_TRACE(Q(b.key).toStdString());
        ran.clear();
        w.tlbMain_ButtonClick(Q(b.key));
        EXPECT_EQ(ran, QStringList{Q(b.item)});
    }
    // Keys compare exactly: anything else does nothing.
    ran.clear();
    for (const char16_t* key : {u"exec", u"Exec", u"EXEC ", u"", u"VERSION", u"START"})
        w.tlbMain_ButtonClick(Q(key));
    EXPECT_TRUE(ran.isEmpty());
    // Clicking the real button goes the same way.
    w.MainButton(QStringLiteral("NEW"))->trigger();
    EXPECT_EQ(ran, QStringList{QStringLiteral("mnuFileNew")});
    EXPECT_EQ(w.Documents().size(), 3) << "the NEW button and the NEW key each opened one";
    EXPECT_EQ(doubles.modal.titles, (std::vector<QString>{QStringLiteral("データ ソース接続"),
                                                          QStringLiteral("クエリ タイムアウト"),
                                                          QStringLiteral("検索")}));
}

TEST_F(MainWindowTest, DocumentCommandsFollowTheDocumentCount) {
    frmMain& w = Open();
    const QString docItems[] = {QStringLiteral("mnuFileSave"), QStringLiteral("mnuWindowCascade"),
                                QStringLiteral("mnuWindowTileHorizontal"),
                                QStringLiteral("mnuWindowTileVertical"),
                                QStringLiteral("mnuWindowArrangeIcons")};
    const QString docMenus[] = {QStringLiteral("mnuQry"), QStringLiteral("mnuEdit"),
                                QStringLiteral("mnuFont"), QStringLiteral("mnuTool")};
    const QString docKeys[] = {
        QStringLiteral("SAVE"),    QStringLiteral("EXEC"),       QStringLiteral("ARRANGE"),
        QStringLiteral("TIMEOUT"), QStringLiteral("SEARCH"),     QStringLiteral("EXCEL"),
        QStringLiteral("CASCADE"), QStringLiteral("HORIZONTAL"), QStringLiteral("VERTICAL")};
    const QString alwaysItems[] = {
        QStringLiteral("mnuFileConnect"),     QStringLiteral("mnuFileNew"),
        QStringLiteral("mnuFileOpen"),        QStringLiteral("mnuFileEnd"),
        QStringLiteral("mnuWindowNewWindow"), QStringLiteral("mnuHelpVersion")};
    const QString alwaysKeys[] = {QStringLiteral("CONNECT"), QStringLiteral("NEW"),
                                  QStringLiteral("OPEN")};
    const auto check = [&](bool enabled) {
        for (const QString& n : docItems)
            EXPECT_EQ(w.MenuItem(n)->isEnabled(), enabled) << n.toStdString();
        for (const QString& n : docMenus)
            EXPECT_EQ(w.Menu(n)->menuAction()->isEnabled(), enabled) << n.toStdString();
        for (const QString& k : docKeys)
            EXPECT_EQ(w.MainButton(k)->isEnabled(), enabled) << k.toStdString();
        for (const QString& n : alwaysItems)
            EXPECT_TRUE(w.MenuItem(n)->isEnabled()) << n.toStdString();
        for (const QString& k : alwaysKeys)
            EXPECT_TRUE(w.MainButton(k)->isEnabled()) << k.toStdString();
    };
    {
        SCOPED_TRACE("no document");
        check(false);
    }
    w.LoadNewDoc();
    w.LoadNewDoc();
    {
        SCOPED_TRACE("two documents");
        check(true);
    }
    w.MdiArea()->closeAllSubWindows();
    EXPECT_EQ(gintDocCount, 0);
    {
        SCOPED_TRACE("all closed again");
        check(false);
    }
}

TEST_F(MainWindowTest, DocumentShortcutsDoNothingWithoutADocument) {
    frmMain& w = Open();
    // Reaching a document command without a document must not crash.
    for (const char16_t* name :
         {u"mnuFileSave", u"mnuQryExec", u"mnuQryArrange", u"mnuEditAll", u"mnuWindowCascade",
          u"mnuWindowTileHorizontal", u"mnuWindowArrangeIcons"})
        w.RunMenuItem(Q(name));
    EXPECT_TRUE(doubles.messages.shown.empty());
}

TEST_F(MainWindowTest, RecentlyClosedQueriesStandBetweenSaveAndExit) {
    frmMain& w = Open();
    const QList<QAction*> items = w.Menu(QStringLiteral("mnuFile"))->actions();
    const auto at = [&](const char16_t* name) {
        for (qsizetype i = 0; i < items.size(); ++i)
            if (items[i]->objectName() == Q(name))
                return i;
        return qsizetype{-1};
    };
    const qsizetype recent = at(u"mnuFileRecent");
    ASSERT_GE(recent, 0);
    EXPECT_EQ(recent, at(u"mnuFileSave") + 1);
    EXPECT_EQ(recent + 1, at(u"mnuFileBar3"));
    EXPECT_EQ(items[recent]->text(), QStringLiteral("最近閉じたクエリ(&R)"));
    EXPECT_NE(items[recent]->menu(), nullptr);
    // Enabled with no document open, like opening a file.
    gintDocCount = 0;
    w.EnabledControls();
    EXPECT_TRUE(items[recent]->isEnabled());
}

TEST_F(MainWindowTest, QueryHistoryFollowsTheTimeOutWithAShortcutOfItsOwn) {
    frmMain& w = Open();
    const QList<QAction*> items = w.Menu(QStringLiteral("mnuQry"))->actions();
    qsizetype timeout = -1;
    qsizetype history = -1;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i]->objectName() == Q(u"mnuQryTimeout"))
            timeout = i;
        if (items[i]->objectName() == Q(u"mnuQryHistory"))
            history = i;
    }
    ASSERT_GE(timeout, 0);
    ASSERT_GT(history, timeout);
    EXPECT_EQ(items[history]->text(), QStringLiteral("クエリ履歴(&H)..."));
    const QKeySequence key = items[history]->shortcut();
    EXPECT_EQ(key, QKeySequence(QStringLiteral("Ctrl+Shift+H")));
    for (QAction* other : w.findChildren<QAction*>()) {
        if (other != items[history]) {
            EXPECT_NE(other->shortcut(), key) << other->objectName().toStdString();
        }
    }
}
