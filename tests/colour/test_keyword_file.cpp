#include "colour/colour_errors.h"
#include "colour/keyword_file.h"
#include "keyword_file_fixture.h"
#include "qt_print.h"
#include "support/without_root_access.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>

#include <unistd.h>

using namespace brindle;
using namespace Qt::StringLiterals;

namespace {

std::optional<int> ReadError(const QString& path) {
    try {
        ReadKeywordFileText(path);
    } catch (const Error& error) {
        return error.number();
    }
    return std::nullopt;
}

TEST(ReadKeywordFile, DecodesCodePage932) {
    test::TempKeywordFile file;
    // 選択 (Shift_JIS 91 49 91 F0), a backslash (0x5C stays one) and a
    // half-width katakana.
    file.WriteBytes(QByteArray("KEYWORD\r\n\x91\x49\x91\xf0,2\r\n\\x,1\r\n\xb1,3\r\n"));
    EXPECT_EQ(ReadKeywordFileText(file.path()), u"KEYWORD\r\n選択,2\r\n\\x,1\r\nｱ,3\r\n"_s);
}

TEST(ReadKeywordFile, InvalidBytesBecomeSubstitutes) {
    const struct {
        const char* name;
        QByteArray bytes;
        qsizetype length; // of the decoded text
    } cases[] = {
        {"undefined single byte",
         QByteArray("a\xff"
                    "b"),
         3},
        {"lead byte without trail",
         QByteArray("a\x82"
                    "\r\n"),
         4},
        {"cut off at the end", QByteArray("a\x82"), 2},
        {"unassigned double byte",
         QByteArray("a\x85\x40"
                    "b"),
         3},
        {"NUL bytes", QByteArray("a\0b", 3), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = DecodeCodePage932(c.bytes);
        EXPECT_EQ(text.size(), c.length);
        EXPECT_TRUE(text.startsWith(u'a'));
    }
}

TEST(ReadKeywordFile, ReportsWhyTheFileCannotBeRead) {
    test::TempKeywordFile file;
    const QString dir = file.dirPath();
    ASSERT_TRUE(QDir(dir).mkdir(u"folder"_s));
    test::TempKeywordFile plain;
    plain.WriteLines({u"select,1"_s});
    test::TempKeywordFile empty;
    empty.WriteBytes({});

    const struct {
        const char* name;
        QString path;
        std::optional<int> number;
    } cases[] = {
        {"missing file in an existing directory", dir + u"/KEYWORD_COLOR.CSV", err::FileNotFound},
        {"missing directory", dir + u"/none/KEYWORD_COLOR.CSV", err::PathNotFound},
        {"a file where a directory should be", plain.path() + u"/KEYWORD_COLOR.CSV",
         err::PathNotFound},
        {"a directory where the file should be", dir + u"/folder", err::PermissionDenied},
        {"empty file", empty.path(), err::InputPastEnd},
        {"readable file", plain.path(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadError(c.path), c.number);
    }
}

TEST(ReadKeywordFile, ReportsAFileWithoutReadPermission) {
    test::TempKeywordFile file;
    file.WriteLines({u"select,1"_s});
    ASSERT_TRUE(QFile::setPermissions(file.path(), QFileDevice::WriteOwner));
    const test::WithoutRootAccess asUser;
    ASSERT_TRUE(asUser.active());
    EXPECT_EQ(ReadError(file.path()), err::PermissionDenied);
}

} // namespace
