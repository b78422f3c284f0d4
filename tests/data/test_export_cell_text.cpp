#include "data/export_cell_text.h"
#include "data/odbc_column_values.h"
#include "support/print_qt.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

namespace brindle {
namespace {

using odbc::ColumnKind;

TEST(ExportCellText, WritesEachKindAsItsNaturalText) {
    const QDateTime stamp(QDate(2026, 3, 8), QTime(2, 30, 5), Qt::UTC);
    const QDateTime withMs(QDate(1999, 12, 31), QTime(23, 59, 59, 120), Qt::UTC);
    const struct {
        QVariant value;
        ColumnKind kind;
        QString text;
    } cases[] = {
        {QVariant(), ColumnKind::Text, QString()},
        {QVariant(), ColumnKind::Integer, QString()},
        {QVariant(qint64{-9223372036854775807LL - 1}), ColumnKind::Integer,
         QStringLiteral("-9223372036854775808")},
        {QVariant(1e20), ColumnKind::Double, QStringLiteral("100000000000000000000")},
        {QVariant(1.5e-7), ColumnKind::Double, QStringLiteral("0.00000015")},
        {QVariant(0.1), ColumnKind::Double, QStringLiteral("0.1")},
        {QVariant(-2.0), ColumnKind::Double, QStringLiteral("-2")},
        {QVariant(QStringLiteral("12.3400")), ColumnKind::Decimal, QStringLiteral("12.34")},
        {QVariant(QStringLiteral("-0.50")), ColumnKind::Decimal, QStringLiteral("-0.5")},
        {QVariant(QStringLiteral("10.000")), ColumnKind::Decimal, QStringLiteral("10")},
        {QVariant(QStringLiteral("1200")), ColumnKind::Decimal, QStringLiteral("1200")},
        {QVariant(QStringLiteral("NaN")), ColumnKind::Decimal, QStringLiteral("NaN")},
        {QVariant(QStringLiteral("1.50E+3")), ColumnKind::Decimal, QStringLiteral("1.50E+3")},
        // Text is never treated as a number, whatever it looks like.
        {QVariant(QStringLiteral("12.3400")), ColumnKind::Text, QStringLiteral("12.3400")},
        {QVariant(QStringLiteral("007")), ColumnKind::Text, QStringLiteral("007")},
        {QVariant(QStringLiteral(" 全角\t\r\n")), ColumnKind::Text, QStringLiteral(" 全角\t\r\n")},
        {QVariant(QDate(2026, 12, 7)), ColumnKind::Date, QStringLiteral("2026-12-07")},
        {QVariant(QTime(9, 5, 0)), ColumnKind::Time, QStringLiteral("09:05:00")},
        {QVariant(stamp), ColumnKind::DateTime, QStringLiteral("2026-03-08 02:30:05")},
        {QVariant(withMs), ColumnKind::DateTime, QStringLiteral("1999-12-31 23:59:59.120")},
        {QVariant(QByteArray("\x00\xab\x10", 3)), ColumnKind::Binary, QStringLiteral("0x00AB10")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.toString().toStdString());
        EXPECT_EQ(ExportCellText(c.value, c.kind), c.text);
    }
}

TEST(ExportCellText, CutsAtTheCellLimitWithoutSplittingACharacter) {
    const QString pair = QStringLiteral("𠀋"); // outside the BMP: two UTF-16 units
    const QString text = QString(SheetCellTextLimit - 1, u'a') + pair + QStringLiteral("tail");
    const QString cut = ExportCellText(text, ColumnKind::Text);
    EXPECT_EQ(cut, QString(SheetCellTextLimit - 1, u'a'));

    const QString exact(SheetCellTextLimit, u'b');
    EXPECT_EQ(ExportCellText(exact, ColumnKind::Text), exact);

    const QString binary = ExportCellText(QByteArray(100000, '\x7f'), ColumnKind::Binary);
    EXPECT_LE(binary.size(), SheetCellTextLimit);
    EXPECT_TRUE(binary.startsWith(u"0x7F7F"));
}

TEST(CellAddress, NamesColumnsInLetters) {
    EXPECT_EQ(CellAddress(2, 1), QStringLiteral("A2"));
    EXPECT_EQ(CellAddress(1, 26), QStringLiteral("Z1"));
    EXPECT_EQ(CellAddress(1, 27), QStringLiteral("AA1"));
    EXPECT_EQ(CellAddress(1, 702), QStringLiteral("ZZ1"));
    EXPECT_EQ(CellAddress(1048576, 16384), QStringLiteral("XFD1048576"));
}

} // namespace
} // namespace brindle
