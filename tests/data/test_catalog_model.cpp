#include "data/catalog_tree_model.h"
#include "data/identifier_quoting.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <sql.h>

#include <gtest/gtest.h>

namespace brindle::catalog {
namespace {

using namespace Qt::StringLiterals;

NameRules Rules(int identifierCase, QString quote = u"\""_s) {
    NameRules rules;
    rules.quote = std::move(quote);
    rules.identifierCase = identifierCase;
    rules.driverKeywords = {u"LIMIT"_s};
    return rules;
}

TEST(IdentifierQuoting, QuotesExactlyTheNamesThatNeedIt) {
    const NameRules lower = Rules(SQL_IC_LOWER);
    const NameRules upper = Rules(SQL_IC_UPPER);
    const NameRules mixed = Rules(SQL_IC_MIXED, u"`"_s);
    EXPECT_EQ(QuotedName(u"orders"_s, lower), u"orders");
    EXPECT_EQ(QuotedName(u"Orders"_s, lower), u"\"Orders\"") << "folded away unquoted";
    EXPECT_EQ(QuotedName(u"ORDERS"_s, upper), u"ORDERS");
    EXPECT_EQ(QuotedName(u"orders"_s, upper), u"\"orders\"");
    EXPECT_EQ(QuotedName(u"Orders"_s, mixed), u"Orders");
    EXPECT_EQ(QuotedName(u"注文_2"_s, lower), u"注文_2") << "Japanese letters are letters";
    EXPECT_EQ(QuotedName(u"my table"_s, mixed), u"`my table`");
    EXPECT_EQ(QuotedName(u"a`b"_s, mixed), u"`a``b`") << "the quote inside doubled";
    EXPECT_EQ(QuotedName(u"a-b"_s, mixed), u"`a-b`");
    EXPECT_EQ(QuotedName(u"1st"_s, mixed), u"`1st`");
    EXPECT_EQ(QuotedName(u"select"_s, mixed), u"`select`") << "ODBC's reserved word";
    EXPECT_EQ(QuotedName(u"limit"_s, mixed), u"`limit`") << "the driver's own keyword";
    EXPECT_EQ(QuotedName(u"my table"_s, Rules(SQL_IC_MIXED, {})), u"my table")
        << "no quote character: as it is";

    Table table{{}, u"Sales"_s, u"order line"_s, u"TABLE"_s};
    EXPECT_EQ(QualifiedName(table, lower, true), u"\"Sales\".\"order line\"");
    EXPECT_EQ(QualifiedName(table, lower, false), u"\"order line\"");
    table.schema.clear();
    EXPECT_EQ(QualifiedName(table, lower, true), u"\"order line\"") << "no group to name";
}

std::vector<Table> SomeTables() {
    return {
        {{}, u"public"_s, u"orders"_s, u"TABLE"_s},
        {{}, u"public"_s, u"Customers"_s, u"TABLE"_s},
        {{}, u"sales"_s, u"order_lines"_s, u"TABLE"_s},
        {{}, u"sales"_s, u"totals"_s, u"VIEW"_s},
        {{}, u"empty_named"_s, u"x"_s, u"TABLE"_s},
    };
}

TEST(CatalogTreeModel, GroupsFiltersAndLoadsColumnsOnDemand) {
    CatalogTreeModel model;
    QSignalSpy wanted(&model, &CatalogTreeModel::ColumnsWanted);
    // The tester opens every item, as a view opening each table would.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetTables(Rules(SQL_IC_LOWER), SomeTables());
    EXPECT_EQ(wanted.size(), 5) << "each table's columns asked for once";
    ASSERT_TRUE(model.Grouped());
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(0, 0).data().toString(), u"empty_named") << "groups in order";
    const QModelIndex publicGroup = model.index(1, 0);
    ASSERT_EQ(model.rowCount(publicGroup), 2);
    const QModelIndex customers = model.index(0, 0, publicGroup);
    EXPECT_EQ(customers.data().toString(), u"Customers") << "tables by name, any case";
    EXPECT_EQ(model.index(0, CatalogTreeModel::TypeField, publicGroup).data().toString(),
              u"テーブル");
    EXPECT_EQ(model.InsertText(customers), u"\"public\".\"Customers\"") << "PUBLIC is reserved";

    // Columns not loaded yet may be there; loaded, they arrive as rows.
    EXPECT_TRUE(model.hasChildren(customers));
    EXPECT_FALSE(model.canFetchMore(customers));
    model.fetchMore(customers);
    EXPECT_EQ(wanted.size(), 5) << "never asked twice";
    const Table asked = *model.TableAt(customers);
    model.SetColumns(
        asked, {{u"id"_s, u"int4"_s, 10, 0, true}, {u"Full Name"_s, u"text"_s, -1, 1, false}});
    const QModelIndex customersAgain = model.IndexOf(asked);
    ASSERT_EQ(model.rowCount(customersAgain), 2);
    const QModelIndex fullName = model.index(1, 0, customersAgain);
    EXPECT_EQ(model.InsertText(fullName), u"\"Full Name\"");
    EXPECT_EQ(model.index(0, CatalogTreeModel::KeyField, customersAgain).data().toString(), u"PK");
    EXPECT_EQ(model.index(0, CatalogTreeModel::NullField, customersAgain).data().toString(),
              u"NOT NULL");
    EXPECT_FALSE(model.index(1, CatalogTreeModel::SizeField, customersAgain).data().isValid());

    // The filter keeps matching tables, and every table of a matching group.
    model.SetFilter(u"ORDER"_s);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 1);
    model.SetFilter(u"sales"_s);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 2);
    model.SetFilter(u"nothing like it"_s);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.IndexOf(asked).isValid());
    model.SetFilter({});
    EXPECT_EQ(model.rowCount(model.IndexOf(asked)), 2) << "loaded columns survive the filter";

    // One group only: its tables stand at the top, inserted without it.
    std::vector<Table> single = SomeTables();
    single.resize(2);
    model.SetTables(Rules(SQL_IC_LOWER), single);
    EXPECT_FALSE(model.Grouped());
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.InsertText(model.index(1, 0)), u"orders");
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
} // namespace brindle::catalog
