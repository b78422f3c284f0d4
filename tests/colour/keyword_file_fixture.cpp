#include "keyword_file_fixture.h"

#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace brindle::test {

void RecordingErrorBoxes::ShowErrMsg(const Error& error) {
    shown.append(error.numbered());
    numbers.push_back(error.number());
}

TempKeywordFile::TempKeywordFile() {
    EXPECT_TRUE(m_dir.isValid());
}

QString TempKeywordFile::path() const {
    return m_dir.filePath(QStringLiteral("KEYWORD_COLOR.CSV"));
}

void TempKeywordFile::WriteLines(const QStringList& lines) {
    QString text = QStringLiteral("KEYWORD,COLOR_NO\r\n");
    for (const QString& line : lines) {
        text += line + u"\r\n";
    }
    QStringEncoder encoder("Shift_JIS");
    ASSERT_TRUE(encoder.isValid());
    WriteBytes(encoder.encode(text));
}

void TempKeywordFile::WriteBytes(const QByteArray& bytes) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace brindle::test
