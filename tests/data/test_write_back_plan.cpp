#include "data/cell_input.h"
#include "data/odbc_column_values.h"
#include "data/write_back_plan.h"

#include "support/print_qt.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace brindle::odbc {
namespace {

using namespace Qt::Literals::StringLiterals;

ColumnOrigin From(const QString& table, const QString& column, const QString& schema = {}) {
    return {QString(), schema, table, column};
}

TEST(FindWriteTarget, TakesOnlyFieldsReadStraightFromOneTable) {
    QString reason;
    const auto target =
        FindWriteTarget({From(u"t"_s, u"id"_s, u"s"_s), From(u"t"_s, u"name"_s, u"s"_s)}, reason);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->table, u"t"_s);
    EXPECT_EQ(target->schema, u"s"_s);
    EXPECT_EQ(target->columns, (std::vector<QString>{u"id"_s, u"name"_s}));

    const std::vector<std::vector<ColumnOrigin>> refused = {
        {},                                                            // no fields
        {From(u"t"_s, u"id"_s), From(QString(), QString())},           // an expression
        {From(u"t"_s, u"id"_s), From(u"u"_s, u"id"_s)},                // a join
        {From(u"t"_s, u"id"_s, u"a"_s), From(u"t"_s, u"x"_s, u"b"_s)}, // same name, two schemas
        {From(u"t"_s, u"id"_s), From(u"t"_s, u"id"_s)},                // a column read twice
        {From(u"t"_s, QString())},                                     // no base column
    };
    for (const auto& fields : refused) {
        reason.clear();
        EXPECT_FALSE(FindWriteTarget(fields, reason)) << fields.size();
        EXPECT_FALSE(reason.isEmpty());
    }
}

TEST(WhereFields, KeyAndChangedFieldsWhenTheKeyIsThereOtherwiseEveryField) {
    WriteTarget target{{}, {}, u"t"_s, {u"a"_s, u"id"_s, u"b"_s, u"c"_s}};
    EXPECT_EQ(WhereFields(target, {u"id"_s}, {3, 1}), (std::vector<int>{1, 3}));
    EXPECT_EQ(WhereFields(target, {u"id"_s, u"missing"_s}, {3}), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(WhereFields(target, {}, {0}), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(WhereFields(target, {u"ID"_s}, {0}), (std::vector<int>{0, 1, 2, 3}))
        << "identifiers are compared exactly";
}

TEST(BuildUpdate, QuotesNamesAndComparesNullsWithIsNull) {
    WriteTarget target{u"db"_s, u"my\"schema"_s, u"t"_s, {u"id"_s, u"na\"me"_s, u"n"_s}};
    const UpdateStatement update =
        BuildUpdate(target, u"\""_s, {1}, {0, 1, 2}, {false, false, true});
    EXPECT_EQ(
        update.sql,
        uR"(UPDATE "my""schema"."t" SET "na""me" = ? WHERE "id" = ? AND "na""me" = ? AND "n" IS NULL)"_s);
    EXPECT_EQ(update.setFields, std::vector<int>{1});
    EXPECT_EQ(update.whereParameters, (std::vector<int>{0, 1}));

    // A driver without a quote character gets the names as they are.
    WriteTarget plain{{}, {}, u"t"_s, {u"a"_s, u"b"_s}};
    EXPECT_EQ(BuildUpdate(plain, u" "_s, {0, 1}, {0, 1}, {false, false}).sql,
              u"UPDATE t SET a = ?, b = ? WHERE a = ? AND b = ?"_s);
}

} // namespace
} // namespace brindle::odbc

namespace brindle {
namespace {

using namespace Qt::Literals::StringLiterals;
using odbc::ColumnKind;

TEST(CellInput, TypedTextBecomesAValueOfTheFieldOrIsRefused) {
    struct Case {
        ColumnKind kind;
        QString text;
        std::optional<QVariant> value;
    };
    const QVariant null;
    const std::vector<Case> cases = {
        {ColumnKind::Text, u""_s, QVariant(u""_s)}, // empty text is not NULL
        {ColumnKind::Text, u" a "_s, QVariant(u" a "_s)},
        {ColumnKind::Integer, u" -42 "_s, QVariant::fromValue<qint64>(-42)},
        {ColumnKind::Integer, u""_s, null},
        {ColumnKind::Integer, u"4.2"_s, std::nullopt},
        {ColumnKind::Integer, u"99999999999999999999"_s, std::nullopt},
        {ColumnKind::Double, u"1e3"_s, QVariant(1000.0)},
        {ColumnKind::Double, u"inf"_s, std::nullopt},
        {ColumnKind::Decimal, u"-12.50"_s, QVariant(u"-12.50"_s)},
        {ColumnKind::Decimal, u"12,5"_s, std::nullopt},
        {ColumnKind::Date, u"2026-02-28"_s, QVariant(QDate(2026, 2, 28))},
        {ColumnKind::Date, u"2026-02-30"_s, std::nullopt},
        {ColumnKind::Time, u"23:59"_s, QVariant(QTime(23, 59))},
        {ColumnKind::Time, u"23:59:58.125"_s, QVariant(QTime(23, 59, 58, 125))},
        {ColumnKind::DateTime, u"2026-03-29 02:30:00"_s,
         QVariant(QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::UTC))},
        {ColumnKind::DateTime, u"2026-03-29T02:30"_s,
         QVariant(QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::UTC))},
        {ColumnKind::DateTime, u"yesterday"_s, std::nullopt},
        {ColumnKind::Binary, u"0x00"_s, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<QVariant> parsed = ParseCellInput(c.text, c.kind);
        ASSERT_EQ(parsed.has_value(), c.value.has_value());
        if (!parsed)
            continue;
        EXPECT_EQ(parsed->isNull(), c.value->isNull());
        EXPECT_EQ(*parsed, *c.value);
    }
}

TEST(CellInput, TheEditorStartsFromTheWholeValue) {
    const QString longText = u"line one\nline two "_s.repeated(200);
    EXPECT_EQ(CellEditText(longText), longText);
    EXPECT_EQ(CellEditText(QVariant()), QString());
    EXPECT_EQ(CellEditText(QVariant::fromValue<qint64>(7)), u"7"_s);
    EXPECT_EQ(CellEditText(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC)),
              u"2026-01-02 03:04:05"_s);
}

} // namespace
} // namespace brindle
