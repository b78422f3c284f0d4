// The keyword table that ships beside the program, on everyday queries.
#include "arrange/cls_arrange_query.h"
#include "arrange_fixture.h"
#include "colour/keyword_file.h"
#include "naive_arranger.h"
#include "support/temp_config_home.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Layout {
    const char* name;
    QString query;
    QStringList lines;
};

const Layout kLayouts[] = {
    {"select with a join and conditions",
     u"SELECT e.id, e.name, d.name AS dept FROM employees e INNER JOIN departments d "
     u"ON e.dept_id = d.id WHERE e.active = 1 AND d.region = 'East' ORDER BY e.name"_s,
     {u"SELECT"_s, u"    e.id,"_s, u"    e.name,"_s, u"    d.name AS dept"_s, u"FROM"_s,
      u"    employees e"_s, u"INNER JOIN"_s, u"    departments d"_s, u"    ON"_s,
      u"        e.dept_id = d.id"_s, u"WHERE"_s, u"    e.active = 1"_s, u"    AND"_s,
      u"        d.region = 'East'"_s, u"ORDER BY"_s, u"    e.name"_s}},
    {"grouping in small letters",
     u"select dept_id, count(*) from employees group by dept_id having count(*) > 5 "
     u"order by dept_id limit 10"_s,
     {u"select"_s, u"    dept_id,"_s, u"    count(*)"_s, u"from"_s, u"    employees"_s,
      u"group by"_s, u"    dept_id"_s, u"having"_s, u"    count(*) > 5"_s, u"order by"_s,
      u"    dept_id"_s, u"limit"_s, u"    10"_s}},
    {"typed over several lines with a tab",
     u"SELECT *\r\nFROM orders o\r\n\tLEFT OUTER JOIN customers c ON o.customer_id = c.id "
     u"AND c.active = 1\r\nWHERE o.total > 100 OR o.rush = 1"_s,
     {u"SELECT"_s, u"    *"_s, u"FROM"_s, u"    orders o"_s, u"LEFT OUTER JOIN"_s,
      u"    customers c"_s, u"    ON"_s, u"        o.customer_id = c.id"_s, u"    AND"_s,
      u"        c.active = 1"_s, u"WHERE"_s, u"    o.total > 100"_s, u"    OR"_s,
      u"        o.rush = 1"_s}},
    {"union of two selects",
     u"SELECT id FROM staff UNION SELECT id FROM contractors"_s,
     {u"SELECT"_s, u"    id"_s, u"FROM"_s, u"    staff"_s, u"UNION"_s, u"SELECT"_s, u"    id"_s,
      u"FROM"_s, u"    contractors"_s}},
    {"UNION ALL: the word UNION also matches here, so ALL goes to the next line",
     u"SELECT a FROM t1 UNION ALL SELECT a FROM t2"_s,
     {u"SELECT"_s, u"    a"_s, u"FROM"_s, u"    t1"_s, u"UNION"_s, u"    ALL"_s, u"SELECT"_s,
      u"    a"_s, u"FROM"_s, u"    t2"_s}},
    {"insert",
     u"INSERT INTO employees (id, name) VALUES (7, 'Sato')"_s,
     {u"INSERT INTO"_s, u"    employees (id,"_s, u"    name)"_s, u"VALUES"_s, u"    (7,"_s,
      u"    'Sato')"_s}},
    {"update",
     u"update employees set name = 'Kato', active = 0 where id = 7"_s,
     {u"update"_s, u"    employees"_s, u"set"_s, u"    name = 'Kato',"_s, u"    active = 0"_s,
      u"where"_s, u"    id = 7"_s}},
    {"delete: FROM starts its own line after DELETE",
     u"DELETE FROM employees WHERE id = 7"_s,
     {u"DELETE"_s, u"FROM"_s, u"    employees"_s, u"WHERE"_s, u"    id = 7"_s}},
    {"a plain JOIN stays in its line, joins of a kind keep theirs",
     u"SELECT * FROM a JOIN b ON a.k = b.k CROSS JOIN c"_s,
     {u"SELECT"_s, u"    *"_s, u"FROM"_s, u"    a JOIN b"_s, u"    ON"_s, u"        a.k = b.k"_s,
      u"CROSS JOIN"_s, u"    c"_s}},
};

TEST(ShippedTable, LaysOutEverydayQueriesAndArrangingAgainChangesNothing) {
    RecordingErrorSink errors;
    clsArrangeQuery formatter(errors, QStringLiteral(BRINDLE_SHIPPED_ARRANGE_TABLE));
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const QString result = formatter.CArrange(layout.query);
        EXPECT_EQ(result.split(u"\r\n"_s), layout.lines);
        EXPECT_EQ(formatter.CArrange(result), result);
    }
    EXPECT_TRUE(errors.numbers.empty());
}

TEST(ShippedTable, AScriptArrangesAsThePlainAlgorithmDoes) {
    QStringList script;
    for (int round = 0; round < 20; ++round) {
        for (const Layout& layout : kLayouts) {
            script << layout.query << u"GO"_s;
        }
    }
    const QString query = Lines(script);
    RecordingErrorSink errors;
    clsArrangeQuery formatter(errors, QStringLiteral(BRINDLE_SHIPPED_ARRANGE_TABLE));
    const ArrangeTable table =
        ParseArrangeTable(ReadKeywordFileText(QStringLiteral(BRINDLE_SHIPPED_ARRANGE_TABLE)));
    EXPECT_EQ(formatter.CArrange(query), NaiveArrange(query, table));
    EXPECT_TRUE(errors.numbers.empty());
}

TEST(ShippedTable, IsCodePage932WithCrLfAndACaption) {
    QFile file(QStringLiteral(BRINDLE_SHIPPED_ARRANGE_TABLE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\r'));
    EXPECT_TRUE(bytes.startsWith(EncodeCp932(u"キーワード,"_s)));
}

TEST(ShippedTable, IsReadFromBesideTheExecutable) {
    int argc = 1;
    char name[] = "brindle_arrange_tests";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    const test::TempConfigHome noCopyOfTheUsers;
    RecordingErrorSink errors;
    clsArrangeQuery formatter(errors);
    EXPECT_EQ(formatter.CArrange(u"select a from t"_s),
              Lines({u"select"_s, u"    a"_s, u"from"_s, u"    t"_s}));
    EXPECT_TRUE(errors.numbers.empty());
}

} // namespace
} // namespace brindle::test
