#include "test_backends.h"

#include "data/catalog_source.h"
#include "data/identifier_quoting.h"

#include <QRandomGenerator>
#include <QSet>

#include <sqlext.h>

namespace brindle::test {
namespace {

using namespace brindle::catalog;
using namespace Qt::StringLiterals;

// Real tables in a place of the test's own: its fresh SQLite file, a
// PostgreSQL schema, or a database of its own elsewhere; dropped at the end.
class CatalogReading : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        source = OpenOdbcCatalog(connectionString);
        rules = source->Rules();
        if (GetParam() == BackendKind::SQLite) {
            spaceConnection = connectionString;
            return;
        }
        group = u"brindle_cat_" + QString::number(QRandomGenerator::global()->generate(), 36);
        if (GetParam() == BackendKind::PostgreSQL) {
            Exec(u"CREATE SCHEMA " + group);
            spaceConnection = connectionString;
        } else {
            Exec(u"CREATE DATABASE " + group);
            spaceConnection = connectionString + u"DATABASE=" + group + u';';
        }
        spaceSource = OpenOdbcCatalog(spaceConnection);
        spaceSource->Rules();
    }
    void TearDown() override {
        spaceSource.reset();
        if (!group.isEmpty()) {
            if (rs.State() != 0)
                rs.Close();
            Exec(GetParam() == BackendKind::PostgreSQL
                     ? QString(u"DROP SCHEMA " + group + u" CASCADE")
                     : QString(u"DROP DATABASE " + group));
        }
    }

    CatalogSource& Space() { return spaceSource ? *spaceSource : *source; }
    // A name in the test's place, quoted as the driver quotes.
    QString In(const QString& name) const {
        const QString quoted = QuotedName(name, rules);
        return group.isEmpty() ? quoted : group + u'.' + quoted;
    }
    std::vector<Table> OwnTables() {
        std::vector<Table> own;
        for (Table& table : Space().Tables({})) {
            if (table.group() == group || group.isEmpty())
                own.push_back(std::move(table));
        }
        return own;
    }
    std::optional<Table> Find(const std::vector<Table>& tables, const QString& name) {
        for (const Table& table : tables) {
            if (table.name == name)
                return table;
        }
        return std::nullopt;
    }

    std::unique_ptr<CatalogSource> source;
    std::unique_ptr<CatalogSource> spaceSource;
    NameRules rules;
    QString group;
    QString spaceConnection;
};

TEST_P(CatalogReading, NamesOfEveryKindComeBackAndWorkInSqlAsQuoted) {
    EXPECT_FALSE(rules.quote.isEmpty()) << "every database here quotes names";
    const QString strange = u"Q" + rules.quote + u"uote";
    const QStringList names = {u"My Tab"_s, u"my_table"_s, u"myxtable"_s, u"Order"_s,
                               u"名前表"_s, strange,       u"select"_s};
    for (const QString& name : names) {
        // Blanks, a quote, a reserved word ("Order" is one too): quoted.
        EXPECT_EQ(NeedsQuoting(name, rules),
                  name != u"my_table" && name != u"myxtable" && name != u"名前表")
            << name.toStdString();
    }
    Exec(u"CREATE TABLE " + In(u"My Tab"_s) + u" (id integer PRIMARY KEY, " +
         QuotedName(u"Name"_s, rules) + u" varchar(20) NOT NULL, 値 real)");
    Exec(u"CREATE TABLE " + In(u"my_table"_s) + u" (a integer)");
    Exec(u"CREATE TABLE " + In(u"myxtable"_s) + u" (b integer)");
    Exec(u"CREATE TABLE " + In(u"Order"_s) + u" (" + QuotedName(u"select"_s, rules) + u" integer)");
    Exec(u"CREATE TABLE " + In(u"名前表"_s) + u" (列 integer)");
    Exec(u"CREATE TABLE " + In(strange) + u" (x integer)");
    Exec(u"CREATE TABLE " + In(u"select"_s) + u" (y integer)");
    Exec(u"CREATE VIEW " + In(u"v_mine"_s) + u" AS SELECT a FROM " + In(u"my_table"_s));

    const std::vector<Table> tables = OwnTables();
    QSet<QString> found;
    for (const Table& table : tables)
        found.insert(table.name);
    QSet<QString> expected(names.begin(), names.end());
    expected.insert(u"v_mine"_s);
    EXPECT_EQ(found, expected);
    ASSERT_TRUE(Find(tables, u"v_mine"_s));
    EXPECT_TRUE(Find(tables, u"v_mine"_s)->isView());
    EXPECT_FALSE(Find(tables, u"my_table"_s)->isView());

    const std::optional<Table> mine = Find(tables, u"My Tab"_s);
    ASSERT_TRUE(mine);
    const std::vector<Column> columns = Space().Columns(*mine);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].name, u"id");
    EXPECT_TRUE(columns[0].key);
    EXPECT_EQ(columns[1].name, u"Name");
    EXPECT_FALSE(columns[1].key);
    EXPECT_EQ(columns[1].nullable, SQL_NO_NULLS);
    EXPECT_EQ(columns[1].size, 20);
    EXPECT_EQ(columns[2].name, u"値");
    EXPECT_EQ(columns[2].nullable, SQL_NULLABLE);
    for (const Column& column : columns)
        EXPECT_FALSE(column.typeName.isEmpty());
    // "_" is a wildcard to the catalog functions: my_table's columns only.
    const std::vector<Column> underscore = Space().Columns(*Find(tables, u"my_table"_s));
    ASSERT_EQ(underscore.size(), 1u);
    EXPECT_EQ(underscore[0].name, u"a");

    // The names as the tree inserts them reach their objects.
    for (const Table& table : tables) {
        SCOPED_TRACE(table.name.toStdString());
        const QString from = QualifiedName(table, rules, !group.isEmpty());
        Query(u"SELECT * FROM " + from);
        for (const Column& column : Space().Columns(table))
            Query(u"SELECT " + QuotedName(column.name, rules) + u" FROM " + from);
    }
}

TEST_P(CatalogReading, AnEmptyPlaceAndAViewThatCannotBeReadFailNothing) {
    EXPECT_TRUE(OwnTables().empty());
    Exec(u"CREATE TABLE " + In(u"gone"_s) + u" (a integer)");
    Exec(u"CREATE TABLE " + In(u"kept"_s) + u" (k integer)");
    if (GetParam() == BackendKind::PostgreSQL) {
        // A view can outlive its table nowhere here; one the role may not read will do.
        Exec(u"CREATE VIEW " + In(u"broken"_s) + u" AS SELECT a FROM " + In(u"gone"_s));
        Exec(u"REVOKE ALL ON " + In(u"broken"_s) + u" FROM CURRENT_USER");
    } else {
        Exec(u"CREATE VIEW " + In(u"broken"_s) + u" AS SELECT a FROM " + In(u"gone"_s));
        Exec(u"DROP TABLE " + In(u"gone"_s));
    }
    const std::vector<Table> tables = OwnTables();
    const std::optional<Table> broken = Find(tables, u"broken"_s);
    ASSERT_TRUE(broken);
    // Whether the driver describes it or refuses, the connection stays usable.
    (void)ErrorOf([&] { (void)Space().Columns(*broken); });
    const std::vector<Column> kept = Space().Columns(*Find(tables, u"kept"_s));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, u"k");
}

TEST_P(CatalogReading, TenThousandTablesAllArrive) {
    constexpr int kTables = 10000;
    if (GetParam() == BackendKind::PostgreSQL) {
        Exec(u"DO $$ BEGIN FOR i IN 1.." + QString::number(kTables) +
             u" LOOP EXECUTE format('CREATE TABLE " + group +
             u".t%s (a integer)', i); END LOOP; END $$"_s);
    } else if (GetParam() == BackendKind::SQLite) {
        Exec(u"PRAGMA synchronous = OFF"_s); // a scratch file: no need to wait for the disk
        for (int i = 1; i <= kTables; ++i)
            Exec(u"CREATE TABLE t" + QString::number(i) + u" (a integer)");
    } else {
        GTEST_SKIP() << "creating 10,000 tables here takes minutes; the benchmark covers it";
    }
    std::vector<Table> tables = OwnTables();
    ASSERT_EQ(tables.size(), std::size_t(kTables));
    QSet<QString> names;
    for (const Table& table : tables)
        names.insert(table.name);
    EXPECT_TRUE(names.contains(u"t1"_s) && names.contains(u"t10000"_s));
    EXPECT_EQ(names.size(), kTables);
}

BRINDLE_ALL_BACKENDS(CatalogReading);

} // namespace
} // namespace brindle::test
