// The "オブジェクト" pane over a catalog of the test's own: what it shows
// while loading, after a failure and when filtered, and what it hands on.
#include "data/catalog_loader.h"
#include "data/catalog_pane.h"
#include "data/catalog_tree_model.h"

#include "core/error.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <sql.h>

#include "support/wait_until.h"

#include <gtest/gtest.h>

namespace brindle::catalog {
namespace {

using namespace Qt::StringLiterals;

class ShopCatalog final : public CatalogSource {
public:
    NameRules Rules() override { return {u"\""_s, SQL_IC_LOWER, {}, u"schema"_s, {}, {}}; }
    std::vector<Table> Tables(const StopRequested&) override {
        return {{{}, u"public"_s, u"orders"_s, u"TABLE"_s},
                {{}, u"public"_s, u"Customers"_s, u"TABLE"_s},
                {{}, u"sales"_s, u"totals"_s, u"VIEW"_s}};
    }
    std::vector<Column> Columns(const Table& table) override {
        if (table.name == u"totals")
            throw Error(-1, u"ビューを読めません。"_s);
        return {{u"id"_s, u"int4"_s, 10, 0, true}, {u"Order Date"_s, u"date"_s, 10, 1, false}};
    }
};

class CatalogPaneTest : public testing::Test {
protected:
    CatalogLoader loader{[](const QString& text) -> std::unique_ptr<CatalogSource> {
        if (text == u"down")
            throw Error(-1, u"接続できません。"_s);
        return std::make_unique<ShopCatalog>();
    }};
    CatalogTreeModel model;
    CatalogPane pane{loader, model};
    QSignalSpy inserted{&pane, &CatalogPane::InsertRequested};
    QSignalSpy newQuery{&pane, &CatalogPane::NewQueryRequested};

    QModelIndex Table(int group, int row) { return model.index(row, 0, model.index(group, 0)); }
    void Trigger(const QModelIndex& index, const QString& caption) {
        const std::unique_ptr<QMenu> menu = pane.ContextMenu(index);
        ASSERT_TRUE(menu);
        for (QAction* action : menu->actions()) {
            if (action->text() == caption)
                return action->trigger();
        }
        FAIL() << "no menu item " << caption.toStdString();
    }
};

TEST_F(CatalogPaneTest, ShowsLoadsFiltersAndHandsOnQuotedNames) {
    EXPECT_EQ(pane.messageLine()->text(), u"接続していません。");
    pane.ShowConnection(u"DSN=shop"_s);
    EXPECT_EQ(pane.messageLine()->text(), u"読み込んでいます...");
    ASSERT_TRUE(test::WaitUntil([&] { return model.rowCount() == 2; })) << "model.rowCount()";
    EXPECT_EQ(pane.messageLine()->text(), u"テーブルとビュー 3 個");

    const QModelIndex customers = Table(0, 0);
    ASSERT_EQ(customers.data().toString(), u"Customers");
    emit pane.tree()->doubleClicked(customers);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][0].toString(), u"\"public\".\"Customers\"");
    Trigger(customers, u"新しいクエリに SELECT * FROM(&S)"_s);
    ASSERT_EQ(newQuery.size(), 1);
    EXPECT_EQ(newQuery[0][0].toString(), u"SELECT * FROM \"public\".\"Customers\"");

    // The column list waits for columns not read yet.
    Trigger(customers, u"列の一覧を挿入(&L)"_s);
    ASSERT_TRUE(test::WaitUntil([&] { return inserted.size() == 2; })) << "inserted.size()";
    EXPECT_EQ(inserted[1][0].toString(), u"id, \"Order Date\"");
    pane.tree()->expand(Table(0, 0));
    EXPECT_EQ(model.rowCount(Table(0, 0)), 2);

    // A view that cannot be read: a message, the rest of the tree stays.
    model.fetchMore(Table(1, 0)); // as the tree does when the view is opened
    ASSERT_TRUE(test::WaitUntil([&] {
        return pane.messageLine()->text() == u"totals: ビューを読めません。"_s;
    })) << "pane.messageLine()->text()";
    EXPECT_EQ(model.rowCount(Table(1, 0)), 0);
    EXPECT_EQ(model.rowCount(), 2);

    pane.filterBox()->setText(u"TOT"_s);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_TRUE(pane.tree()->isExpanded(model.index(0, 0))) << "groups open to show the matches";
}

TEST_F(CatalogPaneTest, AFailedConnectionSaysSoAndARefreshLaterWorks) {
    pane.ShowConnection(u"down"_s);
    ASSERT_TRUE(test::WaitUntil([&] {
        return pane.messageLine()->text() == u"接続できません。"_s;
    })) << "pane.messageLine()->text()";
    EXPECT_EQ(model.rowCount(), 0);
    pane.ShowConnection(u"DSN=shop"_s);
    ASSERT_TRUE(test::WaitUntil([&] { return model.rowCount() == 2; })) << "model.rowCount()";
    pane.ShowConnection({});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(pane.messageLine()->text(), u"接続していません。");
}

} // namespace
} // namespace brindle::catalog
