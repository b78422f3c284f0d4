// The objects pane and the completion in the main window, over a real
// SQLite database: shown as kept, filled on connecting, names into the
// document, and the keys that complete.
#include "sqlite_window_fixture.h"
#include "support/wait_until.h"

#include "data/catalog_pane.h"
#include "data/catalog_tree_model.h"
#include "editor/completion_popup.h"
#include "editor/rich_text_editor.h"
#include "shell/frm_sql.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTreeView>

namespace brindle::test {
namespace {

using namespace Qt::StringLiterals;

class ObjectsPane : public SqliteWindowTest {};

TEST_F(ObjectsPane, HiddenAtFirstThenAsLeftAndFilledOnConnecting) {
    frmMain& main = Open();
    ASSERT_TRUE(main.CatalogPane()->isHidden()) << "the first start keeps the small window";
    main.RunMenuItem(u"mnuViewObjects"_s);
    EXPECT_FALSE(main.CatalogPane()->isHidden());
    EXPECT_TRUE(main.MenuItem(u"mnuViewObjects"_s)->isChecked());
    EXPECT_EQ(doubles.preferences.values[u"catalog.pane_shown"_s], u"1");

    Exec(u"CREATE TABLE \"Order Lines\" (id integer PRIMARY KEY, item text)"_s);
    main.CatalogConnectionChanged();
    ASSERT_TRUE(test::WaitUntil([&] { return main.CatalogModel()->rowCount() == 1; }))
        << "main.CatalogModel()->rowCount()";
    main.LoadNewDoc();
    const QModelIndex table = main.CatalogModel()->index(0, 0);
    emit main.CatalogPane()->tree()->doubleClicked(table);
    RichTextEditor& editor = *main.ActiveForm()->txtQry();
    EXPECT_EQ(editor.Text(), u"\"Order Lines\"");

    // Ctrl+Space at "o." reads the columns and lists them.
    editor.setText(u"SELECT o. FROM \"Order Lines\" o"_s);
    editor.setSelStart(9);
    QApplication::setActiveWindow(&main);
    editor.SetFocus();
    QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
    auto* popup = editor.findChild<completion::CompletionPopup*>();
    ASSERT_TRUE(popup);
    ASSERT_TRUE(test::WaitUntil([&] {
        return popup->Shown() == (QStringList{u"id"_s, u"item"_s});
    })) << "popup->Shown()";
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(editor.Text(), u"SELECT o.id FROM \"Order Lines\" o");

    main.close();
    window.reset();
    EXPECT_FALSE(Open().CatalogPane()->isHidden()) << "shown again, as left";
    EXPECT_TRUE(doubles.messages.shown.empty());
}

} // namespace
} // namespace brindle::test
