// The documented examples, arranged through the keyword file as the command
// does it.
#include "arrange/cls_arrange_query.h"
#include "arrange_fixture.h"

#include <gtest/gtest.h>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kExampleQuery = u"select a, b from t where x = 1 and y = 2"_s;

// The working text uses a lone CR; the result shows it as CR LF.
QString Shown(QString working) {
    return working.replace(u"⏎"_s, u"\r\n"_s).replace(u"␣"_s, u" "_s);
}

QString ArrangeWithRows(const QStringList& rows, const QString& query) {
    KeywordFile file;
    file.WriteRows(rows);
    RecordingErrorSink errors;
    clsArrangeQuery formatter(errors, file.path());
    const QString result = formatter.CArrange(query);
    EXPECT_TRUE(errors.numbers.empty());
    return result;
}

const QStringList kExampleRows = {u"SELECT,1,1"_s, u"FROM,1,1"_s, u"WHERE,1,1"_s, u"AND,1,1"_s,
                                  u"\",\",1,0"_s};

TEST(WorkedExample, EachEntryLeavesTheDocumentedWorkingText) {
    const QStringList afterEntry = {
        u"select⏎␣␣␣␣a, b from t where x = 1 and y = 2"_s,
        u"select⏎␣␣␣␣a, b⏎from⏎␣␣␣␣t where x = 1 and y = 2"_s,
        u"select⏎␣␣␣␣a, b⏎from⏎␣␣␣␣t⏎where⏎␣␣␣␣x = 1 and y = 2"_s,
        u"select⏎␣␣␣␣a, b⏎from⏎␣␣␣␣t⏎where⏎␣␣␣␣x = 1⏎and⏎␣␣␣␣y = 2"_s,
        u"select⏎␣␣␣␣a,⏎␣␣␣␣b⏎from⏎␣␣␣␣t⏎where⏎␣␣␣␣x = 1⏎and⏎␣␣␣␣y = 2"_s,
    };
    for (qsizetype n = 1; n <= kExampleRows.size(); ++n) {
        SCOPED_TRACE(kExampleRows[n - 1].toStdString());
        EXPECT_EQ(ArrangeWithRows(kExampleRows.first(n), kExampleQuery), Shown(afterEntry[n - 1]));
    }
}

TEST(WorkedExample, GivesNineLinesWithoutABreakAtTheEnd) {
    const QString result = ArrangeWithRows(kExampleRows, kExampleQuery);
    EXPECT_EQ(result, Lines({u"select"_s, u"    a,"_s, u"    b"_s, u"from"_s, u"    t"_s,
                             u"where"_s, u"    x = 1"_s, u"and"_s, u"    y = 2"_s}));
    EXPECT_EQ(ArrangeWithRows(kExampleRows, result), result);
}

TEST(WorkedExample, AndAtLevelTwoIndentsItsLineAndTheNextOneMore) {
    QStringList rows = kExampleRows;
    rows[3] = u"AND,2,1"_s;
    const QString result = ArrangeWithRows(rows, kExampleQuery);
    EXPECT_EQ(result, Lines({u"select"_s, u"    a,"_s, u"    b"_s, u"from"_s, u"    t"_s,
                             u"where"_s, u"    x = 1"_s, u"    and"_s, u"        y = 2"_s}));
    EXPECT_EQ(ArrangeWithRows(rows, result), result);
}

TEST(WorkedExample, FurtherQueriesWithTheSameTable) {
    struct Case {
        QString query;
        QStringList lines;
        bool stable = true; // arranging the result again changes nothing
    };
    const Case cases[] = {
        // The tab becomes 4 blanks, which go again before WHERE.
        {u"SELECT name, id FROM t\r\n\tWHERE id = 1"_s,
         {u"SELECT"_s, u"    name,"_s, u"    id"_s, u"FROM"_s, u"    t"_s, u"WHERE"_s,
          u"    id = 1"_s}},
        // Literals and comments are text like any other.
        {u"select x from t where name = 'a and b' -- from y"_s,
         {u"select"_s, u"    x"_s, u"from"_s, u"    t"_s, u"where"_s, u"    name = 'a"_s, u"and"_s,
          u"    b' --"_s, u"from"_s, u"    y"_s}},
        // A word inside a longer word is left alone.
        {u"SELECT selection FROM t"_s, {u"SELECT"_s, u"    selection"_s, u"FROM"_s, u"    t"_s}},
        // A keyword at the end of the text still ends its line.
        // (Arranged again, the final break is text after the keyword and
        // receives the indentation of the next line.)
        {u"select"_s, {u"select"_s, QString()}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        const QString result = ArrangeWithRows(kExampleRows, c.query);
        EXPECT_EQ(result, Lines(c.lines));
        if (c.stable) {
            EXPECT_EQ(ArrangeWithRows(kExampleRows, result), result);
        }
    }
}

} // namespace
} // namespace brindle::test
