#include "data/grid_cell_text.h"
#include "data/grid_widest_rows.h"
#include "data/odbc_column_values.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QTime>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace brindle {
namespace {

using odbc::ColumnKind;
using odbc::ColumnValues;

// Texts of one shape are equally wide wherever digits are.
QString Shape(QString text) {
    for (QChar& c : text) {
        if (c.isDigit())
            c = u'0';
    }
    return text;
}

// Writes every row, as the grid would have to without GridWidestRows, and
// checks that the rows it gives hold every shape of the longest texts and
// the first NULL.
void ExpectWidestAmong(const ColumnValues& values) {
    qsizetype firstNull = -1;
    qsizetype longest = -1;
    QSet<QString> longestShapes;
    for (qsizetype row = 0; row < values.size(); ++row) {
        if (values.isNull(row)) {
            if (firstNull < 0)
                firstNull = row;
            continue;
        }
        const QString text = GridCellText(values.value(row));
        if (text.size() > longest) {
            longest = text.size();
            longestShapes.clear();
        }
        if (text.size() == longest)
            longestShapes.insert(Shape(text));
    }

    const std::vector<qsizetype> rows = GridWidestRows(values);
    EXPECT_LE(rows.size(), 9u);
    QSet<QString> given;
    bool nullGiven = false;
    for (const qsizetype row : rows) {
        ASSERT_GE(row, 0);
        ASSERT_LT(row, values.size());
        if (values.isNull(row)) {
            EXPECT_EQ(row, firstNull);
            nullGiven = true;
        } else {
            given.insert(Shape(GridCellText(values.value(row))));
        }
    }
    EXPECT_EQ(nullGiven, firstNull >= 0);
    for (const QString& shape : longestShapes)
        EXPECT_TRUE(given.contains(shape))
            << "the longest texts look like " << shape.toStdString() << ", and no row given does";
}

ColumnValues Doubles(const std::vector<double>& list) {
    ColumnValues values(ColumnKind::Double);
    for (const double v : list)
        values.appendDouble(v);
    return values;
}

TEST(GridWidestRows, IntegersAtEitherEndNullsAside) {
    ColumnValues values(ColumnKind::Integer);
    for (int row = 0; row < 2000; ++row) {
        // A NULL is stored as 0, which would otherwise be the least value.
        if (row % 97 == 5)
            values.appendNull();
        else if (row == 1500)
            values.appendInteger(-7);
        else if (row == 1999)
            values.appendInteger(123456789);
        else
            values.appendInteger(1000 + row % 1000);
    }
    ExpectWidestAmong(values);
    const std::vector<qsizetype> rows = GridWidestRows(values);
    EXPECT_EQ(rows.front(), 5) << "the first NULL";
    EXPECT_NE(std::find(rows.begin(), rows.end(), 1999), rows.end());

    ColumnValues negatives(ColumnKind::Integer);
    for (const qint64 v : {std::numeric_limits<qint64>::max(), qint64{0},
                           std::numeric_limits<qint64>::min(), qint64{-1}})
        negatives.appendInteger(v);
    ExpectWidestAmong(negatives);

    ColumnValues onlyNulls(ColumnKind::Integer);
    onlyNulls.appendNull();
    onlyNulls.appendNull();
    EXPECT_EQ(GridWidestRows(onlyNulls), std::vector<qsizetype>{0});
    EXPECT_TRUE(GridWidestRows(ColumnValues(ColumnKind::Integer)).empty());
}

TEST(GridWidestRows, DatesTimesAndTimestampsWithMillisecondsApart) {
    ColumnValues dates(ColumnKind::Date);
    ColumnValues times(ColumnKind::Time);
    ColumnValues stamps(ColumnKind::DateTime);
    for (int row = 0; row < 3000; ++row) {
        if (row % 50 == 7) {
            dates.appendNull();
            times.appendNull();
            stamps.appendNull();
            continue;
        }
        const QDate day = QDate(2024, 1, 1).addDays(row % 400);
        dates.appendDate(row == 2222 ? QDate(-44, 3, 15) : day);
        times.appendTime(row == 2900 ? QTime(23, 59, 58, 7) : QTime(row % 24, row % 60, 0));
        stamps.appendDateTime(
            QDateTime(day, row == 1234 ? QTime(1, 2, 3, 450) : QTime(4, 5, 6), Qt::UTC));
    }
    for (const ColumnValues* values : {&dates, &times, &stamps}) {
        SCOPED_TRACE(static_cast<int>(values->kind()));
        ExpectWidestAmong(*values);
    }
    // The only milliseconds lie between the earliest and the latest.
    ColumnValues mixed(ColumnKind::DateTime);
    mixed.appendDateTime(QDateTime(QDate(12345, 6, 7), QTime(8, 9, 10), Qt::UTC));
    mixed.appendDateTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0, 1), Qt::UTC));
    mixed.appendDateTime(QDateTime(QDate(1999, 1, 1), QTime(0, 0), Qt::UTC));
    ExpectWidestAmong(mixed);
}

TEST(GridWidestRows, FloatingNumbersByTheDigitsOfTheirShortestForm) {
    std::vector<std::vector<double>> sets;
    std::vector<double> set;
    for (int i = 1; i <= 20000; ++i)
        set.push_back(i * 1.25);
    sets.push_back(set);
    set.clear();
    for (int i = 1; i <= 20000; ++i)
        set.push_back(i / 7.0 - 1000);
    sets.push_back(set);

    // Every exponent, sign and length of digits, NaN and the infinities.
    std::mt19937_64 random(17);
    set.clear();
    for (int i = 0; i < 100000; ++i)
        set.push_back(std::bit_cast<double>(random()));
    sets.push_back(set);

    // Short values with one long one far down.
    set.assign(19999, 0.5);
    set.push_back(0.1 + 0.2);
    sets.push_back(set);

    // Either side of every power of ten, where the decimal point moves.
    set.clear();
    for (int k = -323; k <= 308; ++k) {
        const double p = std::pow(10.0, k);
        for (const double v : {p, std::nextafter(p, 0.0), std::nextafter(p, HUGE_VAL), -p})
            set.push_back(v);
    }
    sets.push_back(set);

    // Whole numbers beyond the exact ones, denormals, zeros.
    set = {1e20,
           123456789012345680000.0,
           9007199254740993.0,
           std::numeric_limits<double>::denorm_min(),
           -std::numeric_limits<double>::denorm_min() * 12345,
           std::numeric_limits<double>::max(),
           -0.0,
           0.0,
           std::numeric_limits<double>::infinity()};
    sets.push_back(set);

    // Values of many digits in one magnitude, then a few more digits.
    set.clear();
    std::uniform_real_distribution<double> amount(100, 1000);
    for (int i = 0; i < 20000; ++i)
        set.push_back(std::round(amount(random) * 1e6) / 1e6);
    set.push_back(123.45678901234567);
    sets.push_back(set);

    for (std::size_t i = 0; i < sets.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectWidestAmong(Doubles(sets[i]));
    }
}

TEST(GridWidestRows, DecimalsByTheLengthOfTheirDigits) {
    ColumnValues values(ColumnKind::Decimal);
    const auto append = [&values](const QString& text) {
        values.appendText(text.utf16(), text.size());
    };
    for (int i = 0; i < 5000; ++i)
        append(QString::number(i) + QStringLiteral(".25"));
    append(QStringLiteral("-12345678901234567890.12345"));
    append(QStringLiteral("123456789012345678901.12345"));
    values.appendNull();
    append(QStringLiteral("7"));
    ExpectWidestAmong(values);
    EXPECT_EQ(GridWidestRows(values).size(), 3u) << "the NULL and both long ones";
}

} // namespace
} // namespace brindle
