#include "files/text_file.h"
#include "core/error.h"
#include "support/without_root_access.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace brindle;

namespace {

QByteArray Cp932(const char16_t* text) {
    return EncodeTextFile(QString::fromUtf16(text), {TextEncoding::Cp932, LineEnds::CrLf});
}

class TextFileTest : public testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    int ErrorNumber(const std::function<void()>& f) {
        try {
            f();
        } catch (const Error& e) {
            return e.number();
        }
        return 0;
    }
    QTemporaryDir dir;
};

} // namespace

TEST(TextFileDecode, EveryLineEndsWithCrLf) {
    const struct {
        const char* bytes;
        const char16_t* text;
        LineEnds style;
    } cases[] = {
        {"", u"", LineEnds::CrLf},
        {"select 1", u"select 1\r\n", LineEnds::CrLf},
        {"a\r\nb\r\n", u"a\r\nb\r\n", LineEnds::CrLf},
        {"a\nb\n", u"a\r\nb\r\n", LineEnds::Lf},
        {"a\rb", u"a\r\nb\r\n", LineEnds::CrLf},
        {"a\n\n\nb", u"a\r\n\r\n\r\nb\r\n", LineEnds::Lf},
        {"\r\n", u"\r\n", LineEnds::CrLf},
        {"a\r\n\nb", u"a\r\n\r\nb\r\n", LineEnds::CrLf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const TextFileContent content = DecodeTextFile(QByteArray(c.bytes));
        EXPECT_EQ(content.text, QString::fromUtf16(c.text));
        EXPECT_EQ(content.format.lineEnds, c.style);
    }
}

TEST(TextFileDecode, ChoosesTheEncodingFromTheBytes) {
    const QByteArray sjis = Cp932(u"select '日本語' -- 表\r\n");
    EXPECT_EQ(DecodeTextFile(sjis).format.encoding, TextEncoding::Cp932);
    EXPECT_EQ(DecodeTextFile(sjis).text, QStringLiteral("select '日本語' -- 表\r\n"));
    const QByteArray utf8 = QStringLiteral("select '日本語'\n").toUtf8();
    EXPECT_EQ(DecodeTextFile(utf8).format, (TextFileFormat{TextEncoding::Utf8, LineEnds::Lf}));
    EXPECT_EQ(DecodeTextFile(utf8).text, QStringLiteral("select '日本語'\r\n"));
    const QByteArray bom = QByteArray("\xEF\xBB\xBF") + QByteArray("x\r\n");
    const TextFileContent withBom = DecodeTextFile(bom);
    EXPECT_EQ(withBom.format.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(withBom.text, QStringLiteral("x\r\n"));
    EXPECT_EQ(DecodeTextFile("plain ascii").format.encoding, TextEncoding::Cp932);
    // Bytes that are neither decode as code page 932 without failing.
    EXPECT_FALSE(DecodeTextFile(QByteArray("\xff\xfe\x80\x00zz", 6)).text.isEmpty());
}

TEST_F(TextFileTest, UneditedFilesSaveBackByteForByte) {
    const QByteArray files[] = {
        Cp932(u"select *\r\nfrom 社員\r\n"),
        EncodeTextFile(QStringLiteral("select *\r\nfrom 社員\r\n"),
                       {TextEncoding::Cp932, LineEnds::Lf}),
        QStringLiteral("select *\nfrom 社員\n").toUtf8(),
        QStringLiteral("select *\r\nfrom 社員\r\n").toUtf8(),
        QByteArray("\xEF\xBB\xBF") + QStringLiteral("-- コメント\n").toUtf8(),
        QByteArray(),
    };
    int n = 0;
    for (const QByteArray& bytes : files) {
        SCOPED_TRACE(n);
        const QString path = Write(QStringLiteral("f%1.sql").arg(++n), bytes);
        const TextFileContent content = ReadTextFileContent(path);
        WriteTextFileContent(path, content.text, content.format);
        EXPECT_EQ(Bytes(path), bytes);
    }
}

TEST_F(TextFileTest, AnEditChangesOnlyTheEditedLine) {
    const QString path = Write(QStringLiteral("lf.sql"), QByteArray("a\nb\nc\n"));
    TextFileContent content = ReadTextFileContent(path);
    content.text.replace(QStringLiteral("b"), QStringLiteral("é"));
    WriteTextFileContent(path, content.text, content.format);
    EXPECT_EQ(Bytes(path), QByteArray("a\n") + QStringLiteral("é").toUtf8() + QByteArray("\nc\n"))
        << "é is not in code page 932, so the file becomes UTF-8 rather than lose it";
}

TEST_F(TextFileTest, TextThatCodePage932CannotHoldIsSavedAsUtf8) {
    const QString text = QStringLiteral("select '😀 ①'\r\n");
    TextFileFormat used;
    const QByteArray bytes = EncodeTextFile(text, {}, &used);
    EXPECT_EQ(used.encoding, TextEncoding::Utf8);
    EXPECT_EQ(DecodeTextFile(bytes).text, text);
    EXPECT_TRUE(FitsCp932(u"全角ｶﾅ①～"));
    EXPECT_FALSE(FitsCp932(u"😀"));
}

TEST_F(TextFileTest, FailuresCarryTheirNumbersAndLeaveTheOldFile) {
    EXPECT_EQ(ErrorNumber([&] { ReadTextFileContent(dir.filePath(QStringLiteral("none.sql"))); }),
              53);
    EXPECT_EQ(ErrorNumber([&] { ReadTextFileContent(dir.filePath(QStringLiteral("no/x.sql"))); }),
              76);
    EXPECT_EQ(ErrorNumber([&] { ReadTextFileContent(dir.path()); }), 75);
    EXPECT_NE(ErrorNumber([&] {
                  WriteTextFileContent(dir.filePath(QStringLiteral("no/x.sql")), u"x", {});
              }),
              0);

    const QString path = Write(QStringLiteral("keep.sql"), QByteArray("old\r\n"));
    {
        // A directory nobody may write to: the save fails, the old file stays.
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const test::WithoutRootAccess asUser;
        ASSERT_TRUE(asUser.active());
        EXPECT_NE(ErrorNumber([&] { WriteTextFileContent(path, u"new\r\n", {}); }), 0);
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(Bytes(path), QByteArray("old\r\n"));
    WriteTextFileContent(path, u"", {});
    EXPECT_EQ(Bytes(path), QByteArray()) << "an empty document gives an empty file";
}
