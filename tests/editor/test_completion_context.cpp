#include "editor/completion_context.h"

#include <QString>

#include <gtest/gtest.h>

#include <random>

using namespace brindle::completion;
using namespace Qt::Literals::StringLiterals;

namespace {

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

// The text with "|" taken out, and the analysis at the place it stood.
Context At(const char16_t* marked) {
    QString text = Q(marked);
    const qsizetype caret = text.indexOf(u'|');
    text.remove(caret, 1);
    return AnalyseAt(text, caret);
}

bool OpensAt(const char16_t* marked) {
    QString text = Q(marked);
    const qsizetype caret = text.indexOf(u'|');
    text.remove(caret, 1);
    return OpensByItself(text, caret);
}

// The tables as "public.orders o, customers" (std::string: readable when a
// test fails).
std::string Named(const Context& c) {
    QStringList out;
    for (const TableRef& t : c.tables)
        out << t.name.join(u'.') + (t.alias.isEmpty() ? QString() : u' ' + t.alias);
    return out.join(u", "_s).toStdString();
}

// What holds for any text and caret.
void ExpectConsistent(const QString& text, qsizetype caret) {
    const Context c = AnalyseAt(text, caret);
    const qsizetype at = std::clamp<qsizetype>(caret, 0, text.size());
    ASSERT_GE(c.wordStart, 0);
    ASSERT_LE(c.wordStart, at);
    EXPECT_EQ(c.word, text.mid(c.wordStart, at - c.wordStart));
    EXPECT_EQ(c.want == Want::ColumnOf, !c.qualifier.isEmpty());
    EXPECT_EQ(c.qualifier.size(), c.qualifierQuoted.size());
    if (c.want == Want::Nothing) {
        EXPECT_TRUE(c.word.isEmpty());
        EXPECT_TRUE(c.tables.empty());
    }
    for (const TableRef& t : c.tables) {
        EXPECT_FALSE(t.name.isEmpty());
        EXPECT_EQ(t.name.size(), t.nameQuoted.size());
    }
    (void)Resolve(c);
    (void)OpensByItself(text, caret);
}

} // namespace

TEST(CompletionContext, TheWordAtTheCaretAndWhatItWants) {
    Context c = At(u"SELECT na| FROM t");
    EXPECT_EQ(c.want, Want::Anything);
    EXPECT_EQ(c.wordStart, 7);
    EXPECT_EQ(c.word, Q(u"na"));

    c = At(u"select * from ord|");
    EXPECT_EQ(c.want, Want::Table);
    EXPECT_EQ(c.word, Q(u"ord"));
    EXPECT_TRUE(c.tables.empty()) << "the name being typed is no table yet";

    for (const char16_t* marked :
         {u"SELECT * FROM |", u"select a from t join |", u"INSERT INTO |", u"Update |",
          u"DELETE FROM /* c */ |", u"SELECT * FROM a,|", u"SELECT * FROM a , b, 注|"})
        EXPECT_EQ(At(marked).want, Want::Table) << QString::fromUtf16(marked).toStdString();

    // Commas of other lists, and FROM that names no table.
    for (const char16_t* marked :
         {u"SELECT a, |", u"SELECT * FROM t WHERE x IN (1, |", u"UPDATE t SET a = 1, |",
          u"INSERT INTO t (a, |", u"SELECT * FROM (SELECT a, |", u"SELECT EXTRACT(YEAR FROM |",
          u"SELECT a IS DISTINCT FROM |", u"SELECT * FROM t |", u"ALTER TABLE t ON UPDATE |",
          u"SELECT * FROM t; SELECT a, |", u"SELECT x.from, |"})
        EXPECT_EQ(At(marked).want, Want::Anything) << QString::fromUtf16(marked).toStdString();
}

TEST(CompletionContext, AQualifierBeforeTheDot) {
    Context c = At(u"SELECT o.| FROM orders o");
    EXPECT_EQ(c.want, Want::ColumnOf);
    EXPECT_EQ(c.qualifier, QStringList{u"o"_s});
    EXPECT_EQ(c.word, QString());
    EXPECT_EQ(c.wordStart, 9);
    EXPECT_FALSE(c.qualifierIsSchema);

    c = At(u"SELECT public.orders.id| FROM public.orders");
    EXPECT_EQ(c.qualifier, (QStringList{u"public"_s, u"orders"_s}));
    EXPECT_EQ(c.word, Q(u"id"));

    c = At(u"SELECT \"My \"\"Tab\"\"\".| FROM x");
    EXPECT_EQ(c.qualifier, QStringList{Q(u"My \"Tab\"")});
    EXPECT_EQ(c.qualifierQuoted, QList<bool>{true});
    EXPECT_EQ(At(u"SELECT [dbo].[受注].|").qualifier, (QStringList{u"dbo"_s, Q(u"受注")}));
    EXPECT_EQ(At(u"SELECT `a`.b.`c|").qualifier, (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(At(u"SELECT `a`.b.`c|").word, Q(u"`c")) << "the word keeps its opening quote";

    c = At(u"SELECT * FROM public.|");
    EXPECT_EQ(c.want, Want::ColumnOf);
    EXPECT_TRUE(c.qualifierIsSchema) << "where a table goes, the qualifier is a schema";

    EXPECT_EQ(At(u"SELECT f(x).|").want, Want::Anything);
    EXPECT_EQ(At(u"SELECT o . |").want, Want::Anything) << "blanks around the dot: no qualifier";
}

TEST(CompletionContext, TheTablesOfTheBatch) {
    Context c = At(u"SELECT | FROM public.orders o JOIN \"Line Items\" AS li ON li.o = o.id, "
                   u"customers, [dbo].[顧客] k\n"
                   u"LEFT OUTER JOIN t2 WHERE x = 1");
    EXPECT_EQ(Named(c), "public.orders o, Line Items li, customers, dbo.顧客 k, t2");
    EXPECT_EQ(c.tables[1].nameQuoted, QList<bool>{true});

    c = At(u"UPDATE ONLY t SET a = (SELECT max(b) FROM s) WHERE EXISTS (SELECT 1 FROM u)\n"
           u"INSERT INTO log (a) VALUES (1)\n"
           u"SELECT * FROM (SELECT * FROM inner_t) AS sub, fn(1) f, m WITH (NOLOCK), n |");
    EXPECT_EQ(Named(c), "t, s, u, log, inner_t, m, n")
        << "subqueries and functions are no tables; their own FROMs name theirs";

    c = At(u"SELECT EXTRACT(YEAR FROM d), a IS DISTINCT FROM b FROM t "
           u"FOR UPDATE; INSERT INTO x SELECT 1 ON DUPLICATE KEY UPDATE y = 2");
    EXPECT_EQ(Named(c), "t, x");

    c = At(u"SELECT o.|\nFROM orders o, public.\nJOIN b");
    EXPECT_EQ(Named(c), "orders o, public, b")
        << "a dot still waiting for its name takes no keyword after it";
}

TEST(CompletionContext, NothingInCommentsStringsAndNumbers) {
    for (const char16_t* marked :
         {u"SELECT 1 -- a comment|", u"SELECT 1 -- a |comment\nFROM t", u"/* SELECT o.| */",
          u"SELECT /* left open |", u"SELECT 'a string|'", u"SELECT 'it''s |here'",
          u"SELECT 'left open |", u"WHERE a = 'x' AND b = 'y|", u"SELECT 1.|", u"SELECT 12|",
          u"SELECT \"open on\nanother line |"}) {
        const Context c = At(marked);
        EXPECT_EQ(c.want, Want::Nothing) << QString::fromUtf16(marked).toStdString();
        EXPECT_TRUE(c.word.isEmpty());
    }
    // Right after one closes, the text is code again.
    EXPECT_EQ(At(u"SELECT 'x'|").want, Want::Anything);
    EXPECT_EQ(At(u"SELECT /* c */|").want, Want::Anything);
    EXPECT_EQ(At(u"SELECT 1 -- c\n|").want, Want::Anything);
    EXPECT_EQ(At(u"SELECT '--' FROM |").want, Want::Table) << "no comment in a string";
    EXPECT_EQ(At(u"SELECT \"it's\" FROM |").want, Want::Table) << "no string in a quoted name";
}

TEST(CompletionContext, AnyTextAndCaretGiveAConsistentAnswer) {
    // The ends of the text, an empty one, carets outside it.
    for (const QString& text : {QString(), u"SELECT"_s, u"FROM "_s, u"a."_s, u"'"_s})
        for (const qsizetype caret : {qsizetype(-5), qsizetype(0), text.size(), text.size() + 9})
            ExpectConsistent(text, caret);
    EXPECT_EQ(AnalyseAt(u"", 0).want, Want::Anything);
    EXPECT_EQ(AnalyseAt(u"FROM ", 99).want, Want::Table);
    EXPECT_EQ(AnalyseAt(u"FROM ", 99).wordStart, 5);
    EXPECT_EQ(AnalyseAt(u"SELECT", -1).word, QString());

    // Batches that do not parse: fragments of SQL in any order, at every caret.
    const QStringList pieces = {u"SELECT"_s, u"FROM"_s, u"JOIN"_s,   u"AS"_s,   u"o"_s,
                                u"\"q"_s,    u"\""_s,   u"["_s,      u"]"_s,    u"`"_s,
                                u"."_s,      u","_s,    u"("_s,      u")"_s,    u"'"_s,
                                u"--"_s,     u"/*"_s,   u"*/"_s,     u"1.5"_s,  u"受注"_s,
                                u" "_s,      u"\n"_s,   u"UPDATE"_s, u"INTO"_s, u"WITH"_s};
    std::mt19937 random(23);
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i)
            text += pieces[static_cast<qsizetype>(random() % pieces.size())];
        for (qsizetype caret = 0; caret <= text.size(); ++caret)
            ExpectConsistent(text, caret);
    }

    // Long batches: a linear pass answers at once, a quadratic one would not
    // finish (no timing here; a hang fails the run).
    const QString nested = u"SELECT * FROM ("_s.repeated(40000);
    EXPECT_EQ(AnalyseAt(nested, nested.size()).want, Want::Anything);
    const QString list = u"SELECT * FROM "_s + u"t, "_s.repeated(100000);
    const Context c = AnalyseAt(list, list.size());
    EXPECT_EQ(c.want, Want::Table);
    EXPECT_EQ(c.tables.size(), 100000u);
}

TEST(CompletionContext, TheQualifierResolvesToATable) {
    Context c = At(u"SELECT o.| FROM public.orders o, Customers, \"Mixed\"");
    std::optional<TableRef> t = Resolve(c);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name, (QStringList{u"public"_s, u"orders"_s}));

    EXPECT_EQ(Resolve(At(u"SELECT ORDERS.| FROM public.orders o, orders"))->alias, QString())
        << "the table whose name is not hidden by an alias";
    EXPECT_EQ(Resolve(At(u"SELECT ORDERS.| FROM public.orders o"))->alias, u"o"_s)
        << "else the aliased one";
    EXPECT_EQ(Resolve(At(u"SELECT customers.| FROM public.orders o, Customers"))->name,
              QStringList{u"Customers"_s});
    EXPECT_EQ(Resolve(At(u"SELECT mixed.| FROM \"Mixed\""))->name, QStringList{u"Mixed"_s})
        << "one side unquoted: any letter case";
    EXPECT_FALSE(Resolve(At(u"SELECT \"mixed\".| FROM \"Mixed\"")))
        << "both quoted: the letter case counts";
    EXPECT_EQ(Resolve(At(u"SELECT dbo.orders.| FROM orders"))->name,
              (QStringList{u"dbo"_s, u"orders"_s}));
    EXPECT_FALSE(Resolve(At(u"SELECT x.| FROM orders o")));
    EXPECT_FALSE(Resolve(At(u"SELECT | FROM orders o")));
}

TEST(CompletionTrigger, ADotAfterANameOrAKeywordAndABlankOpenIt) {
    for (const char16_t* marked :
         {u"SELECT o.|", u"SELECT 受注.|", u"SELECT \"My Tab\".|", u"SELECT [a]].b].|",
          u"SELECT x FROM a.|  ", u"SELECT * FROM |", u"select * from\n|", u"select * from\r\n|",
          u"INSERT INTO |", u"x JOIN\t|", u"UPDATE |", u"a\nSELECT * FROM |\nb",
          u"SELECT 'a' FROM |", u"SELECT /* x */ t.|"})
        EXPECT_TRUE(OpensAt(marked)) << QString::fromUtf16(marked).toStdString();

    for (const char16_t* marked :
         {u"SELECT 1.|", u"SELECT 1.5|", u"SELECT x.1.|", u"SELECT ..|", u"SELECT (a).|",
          u"SELECT * FROMX |", u"SELECT * XFROM |", u"SELECT x.from |", u"SELECT * FROM  |",
          u"-- SELECT o.|", u"SELECT 'o.|", u"SELECT 'a FROM |", u"/* FROM |", u"SELECT o|",
          u"SELECT o.|name", u"FROM |t", u".|", u"|"}) {
        EXPECT_FALSE(OpensAt(marked)) << QString::fromUtf16(marked).toStdString();
    }
    EXPECT_FALSE(OpensByItself(u"o.", -3));
    EXPECT_TRUE(OpensByItself(u"o.", 99)) << "a caret past the end is clamped";

    // Only the caret's line, and no more than a bounded part of it, is read.
    const QString longLine = u"x"_s.repeated(10000) + u" FROM "_s;
    EXPECT_FALSE(OpensByItself(longLine, longLine.size()));
    const QString longText = u"'"_s + u"x\n"_s.repeated(100000) + u"SELECT o."_s;
    EXPECT_TRUE(OpensByItself(longText, longText.size()))
        << "a string open on an earlier line is not seen";
}
