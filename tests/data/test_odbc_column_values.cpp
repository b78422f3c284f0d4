#include "data/odbc_column_values.h"

#include <gtest/gtest.h>

#include <QString>

namespace brindle::odbc {
namespace {

void AppendText(ColumnValues& values, const QString& text) {
    values.appendText(text.utf16(), text.size());
}

// Text rows share one buffer; each must come back whole, with NULL and the
// empty string told apart, past the 64 rows of one null-bitmap word.
TEST(ColumnValues, TextRowsKeepTheirBoundariesAndNulls) {
    ColumnValues values(ColumnKind::Text);
    for (int i = 0; i < 150; ++i) {
        if (i % 3 == 0)
            values.appendNull();
        else if (i % 3 == 1)
            AppendText(values, QString());
        else
            AppendText(values, QStringLiteral("行") + QString::number(i));
    }
    ASSERT_EQ(values.size(), 150);
    for (int i = 0; i < 150; ++i) {
        SCOPED_TRACE(i);
        const QVariant v = values.value(i);
        if (i % 3 == 0) {
            EXPECT_TRUE(v.isNull());
        } else if (i % 3 == 1) {
            EXPECT_FALSE(v.isNull());
            EXPECT_FALSE(v.toString().isNull());
            EXPECT_TRUE(v.toString().isEmpty());
        } else {
            EXPECT_EQ(v.toString(), QStringLiteral("行") + QString::number(i));
        }
    }
}

// Text from drivers with narrow text arrives as UTF-8: every length of
// sequence comes back as its UTF-16 units, a malformed or cut sequence as
// U+FFFD without swallowing the character after it, and an empty value is
// still not NULL.
TEST(ColumnValues, Utf8TextIsStoredAsUtf16) {
    struct Case {
        const char* name;
        QByteArray utf8;
        QString expected;
    };
    const Case cases[] = {
        {"ascii", "plain 123", QStringLiteral("plain 123")},
        {"two, three and four bytes", QStringLiteral("é東京\U0001F600ｱ").toUtf8(),
         QStringLiteral("é東京\U0001F600ｱ")},
        {"empty", QByteArray(""), QStringLiteral("")},
        {"stray continuation byte",
         QByteArray("a\x80"
                    "b"),
         QStringLiteral("a\uFFFDb")},
        {"cut sequence",
         QByteArray("a\xE6\x9D"
                    "b"),
         QStringLiteral("a\uFFFDb")},
        {"cut at the end", QByteArray("a\xF0\x9F\x98"), QStringLiteral("a\uFFFD")},
        {"overlong form", QByteArray("\xC0\xAFx"), QStringLiteral("\uFFFDx")},
        {"surrogate code point", QByteArray("\xED\xA0\x80x"), QStringLiteral("\uFFFDx")},
        {"beyond U+10FFFF", QByteArray("\xF4\x90\x80\x80x"), QStringLiteral("\uFFFDx")},
        {"invalid lead byte", QByteArray("\xFFx"), QStringLiteral("\uFFFDx")},
    };
    ColumnValues values(ColumnKind::Text);
    for (const Case& c : cases)
        values.appendUtf8(c.utf8.constData(), c.utf8.size());
    values.appendNull();
    ASSERT_EQ(values.size(), std::size(cases) + 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        const QVariant v = values.value(static_cast<qsizetype>(i));
        EXPECT_FALSE(v.isNull());
        EXPECT_EQ(v.toString(), cases[i].expected);
    }
    EXPECT_TRUE(values.value(static_cast<qsizetype>(std::size(cases))).isNull());
}

TEST(ColumnValues, FixedKindsReturnTheirOwnTypes) {
    ColumnValues integers(ColumnKind::Integer);
    integers.appendInteger(-5);
    integers.appendNull();
    EXPECT_EQ(integers.value(0), QVariant::fromValue<qint64>(-5));
    EXPECT_TRUE(integers.value(1).isNull());

    ColumnValues dates(ColumnKind::Date);
    dates.appendDate(QDate(1, 1, 1));
    EXPECT_EQ(dates.value(0), QVariant(QDate(1, 1, 1)));

    // A wall-clock time that does not exist in zones with daylight saving.
    const QDateTime gap(QDate(2024, 3, 31), QTime(2, 30, 0, 5), Qt::UTC);
    ColumnValues stamps(ColumnKind::DateTime);
    stamps.appendDateTime(gap);
    EXPECT_EQ(stamps.value(0).toDateTime(), gap);
    EXPECT_EQ(stamps.value(0).toDateTime().time(), QTime(2, 30, 0, 5));

    ColumnValues bytes(ColumnKind::Binary);
    const unsigned char raw[] = {0, 255, 7};
    bytes.appendBytes(raw, 3);
    bytes.appendBytes(raw, 0);
    EXPECT_EQ(bytes.value(0), QVariant(QByteArray("\x00\xff\x07", 3)));
    EXPECT_FALSE(bytes.value(1).isNull());
    EXPECT_TRUE(bytes.value(1).toByteArray().isEmpty());
}

} // namespace
} // namespace brindle::odbc
