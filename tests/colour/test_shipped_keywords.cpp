// The keyword table that ships beside the program.
#include "colour/keyword_file.h"
#include "colour/keyword_table.h"
#include "colour/lower_text.h"
#include "colour/switch_plan.h"
#include "qt_print.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

using namespace brindle;
using namespace Qt::StringLiterals;

namespace {

QByteArray ShippedBytes() {
    QFile file(QStringLiteral(BRINDLE_SHIPPED_KEYWORDS));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(ShippedKeywords, IsPlainTextWithCrLfLines) {
    const QByteArray bytes = ShippedBytes();
    ASSERT_FALSE(bytes.isEmpty());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        SCOPED_TRACE(i);
        ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7f)) << "not printable ASCII";
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "LF without CR";
        }
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "CR without LF";
        }
    }
    EXPECT_TRUE(bytes.endsWith("\r\n"));
}

TEST(ShippedKeywords, ParsesIntoAnEverydayTable) {
    const KeywordTable table =
        ParseKeywordTable(ReadKeywordFileText(QStringLiteral(BRINDLE_SHIPPED_KEYWORDS)));
    ASSERT_GE(table.size(), 300u);

    QSet<QString> seen;
    for (const KeywordColor& entry : table) {
        SCOPED_TRACE(entry.Keyword.toStdString());
        const QString lowered = colour::LowerPerChar(entry.Keyword);
        EXPECT_FALSE(seen.contains(lowered)) << "listed twice";
        seen.insert(lowered);
        EXPECT_TRUE(entry.ColorNo >= 1 && entry.ColorNo <= 3);
        EXPECT_EQ(entry.Keyword.trimmed(), entry.Keyword);
        // Switch parts would be coloured inside earlier switches.
        EXPECT_FALSE(colour::CanMatchInsideSwitches(lowered));
    }

    // Colouring would damage the control words the editor writes.
    for (const char16_t* controlWord :
         {u"rtf", u"rtf1", u"ansi", u"deff", u"deff0", u"fonttbl", u"par", u"tab", u"cf", u"fs",
          u"f0", u"red", u"green", u"blue", u"colortbl", u"pard", u"plain", u"uc", u"u"}) {
        EXPECT_FALSE(seen.contains(QString::fromUtf16(controlWord)))
            << QString::fromUtf16(controlWord).toStdString();
    }

    const struct {
        const char16_t* keyword;
        qint16 colorNo;
    } expected[] = {
        {u"select", 1},  {u"from", 1},    {u"where", 1}, {u"insert", 1},  {u"update", 1},
        {u"delete", 1},  {u"join", 1},    {u"order", 1}, {u"group", 1},   {u"by", 1},
        {u"go", 1},      {u"varchar", 2}, {u"int", 2},   {u"count", 2},   {u"sum", 2},
        {u"getdate", 2}, {u"null", 3},    {u"and", 3},   {u"or", 3},      {u"not", 3},
        {u"is", 3},      {u"in", 3},      {u"like", 3},  {u"between", 3}, {u"exists", 3},
        {u"true", 3},    {u"false", 3},
    };
    for (const auto& e : expected) {
        const QString keyword = QString::fromUtf16(e.keyword);
        SCOPED_TRACE(keyword.toStdString());
        const auto it = std::find_if(table.begin(), table.end(), [&](const KeywordColor& k) {
            return colour::LowerPerChar(k.Keyword) == keyword;
        });
        ASSERT_NE(it, table.end());
        EXPECT_EQ(it->ColorNo, e.colorNo);
    }
}

} // namespace
