#include "arrange_fixture.h"

#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

void PrintTo(const QString& text, std::ostream* os) {
    QString shown = text;
    shown.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\r', QStringLiteral("\\r"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\t', QStringLiteral("\\t"));
    *os << '"' << shown.toStdString() << '"';
}

namespace brindle::test {

QString Lines(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n"));
}

QByteArray EncodeCp932(const QString& text) {
    QStringEncoder encoder("Shift_JIS");
    EXPECT_TRUE(encoder.isValid());
    QByteArray bytes = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError());
    return bytes;
}

KeywordFile::KeywordFile()
    : m_dirPath(m_dir.path()), m_path(m_dirPath + QStringLiteral("/KEYWORD_ARRANGE.CSV")) {
    EXPECT_TRUE(m_dir.isValid());
}

void KeywordFile::WriteRows(const QStringList& rows) {
    WriteText(Lines(QStringList{QStringLiteral("キーワード,レベル,種類")} + rows));
}

void KeywordFile::WriteText(const QString& text) {
    WriteBytes(EncodeCp932(text));
}

void KeywordFile::WriteBytes(const QByteArray& bytes) {
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList RowsOf(const ArrangeTable& table) {
    QStringList rows;
    for (const KeywordArrange& entry : table) {
        const QString keyword = entry.Keyword.isEmpty()
                                    ? QString()
                                    : QStringLiteral("\"") + entry.Keyword + QStringLiteral("\"");
        rows.append(keyword + u',' + QString::number(entry.Level) + u',' +
                    QString::number(entry.Kind));
    }
    return rows;
}

ArrangeTable ExampleTable() {
    return {{QStringLiteral("SELECT"), 1, 1},
            {QStringLiteral("FROM"), 1, 1},
            {QStringLiteral("WHERE"), 1, 1},
            {QStringLiteral("AND"), 1, 1},
            {QStringLiteral(","), 1, 0}};
}

} // namespace brindle::test
