#include "data/export_file.h"
#include "data/xlsx_workbook.h"
#include "core/error.h"
#include "support/print_qt.h"
#include "support/without_root_access.h"
#include "support/xlsx_reader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace brindle::test {
namespace {

class XlsxWorkbookFile : public ::testing::Test {
protected:
    QString path(const QString& name) const { return scratch.filePath(name); }
    static QStringList Entries(const QString& directory) {
        return QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static QByteArray Contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir scratch;
};

TEST_F(XlsxWorkbookFile, ABlockFitsTheLastRowsOfTheSheetOrNotAtAll) {
    XlsxWorkbook book({path(QStringLiteral("big.xlsx")), false});
    book.SetCellValue(1, 1, QStringLiteral("h"));
    SheetBlock block(100, 1);
    block.at(0, 0) = QStringLiteral("first");
    block.at(99, 0) = QStringLiteral("last");
    EXPECT_NO_THROW(book.SetRangeValue(1048477, 1, block)); // rows 1048477-1048576
    try {
        book.SetRangeValue(1048478, 1, block);
        ADD_FAILURE() << "a block past the last row was taken";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), WorkbookRangeError);
    }
    SheetBlock wide(1, 2);
    EXPECT_THROW(book.SetRangeValue(2, 16384, wide), Error); // past column XFD
    EXPECT_NO_THROW(book.Finish());
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("big.xlsx"))));
}

TEST_F(XlsxWorkbookFile, TheFileAppearsOnlyWhenCompleteAndReplacesNothingOnFailure) {
    const QString target = path(QStringLiteral("kept.xlsx"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the user's old file");
    }
    {
        XlsxWorkbook book({target, false});
        book.SetCellValue(1, 1, QStringLiteral("new"));
        // Given up before Finish: the old file stays, no temporary is left.
    }
    EXPECT_EQ(Contents(target), QByteArray("the user's old file"));
    EXPECT_EQ(Entries(scratch.path()), QStringList{QStringLiteral("kept.xlsx")});

    {
        XlsxWorkbook book({target, false});
        book.SetCellValue(1, 1, QStringLiteral("new"));
        book.Finish();
    }
    const XlsxContents read = ReadXlsx(target);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_EQ(read.cell(1, 1).toString(), QStringLiteral("new"));
    EXPECT_EQ(Entries(scratch.path()), QStringList{QStringLiteral("kept.xlsx")});
}

TEST_F(XlsxWorkbookFile, ANewWorkbookGetsTheUsualPermissions) {
    const QString target = path(QStringLiteral("perm.xlsx"));
    const mode_t mask = ::umask(022);
    {
        XlsxWorkbook book({target, false});
        book.Finish();
    }
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(XlsxWorkbookFile, ReservedNamesCountUpAndAnUnfinishedOneIsRemoved) {
    const QString directory = path(QStringLiteral("a/b/exports"));
    const QDateTime now(QDate(2026, 12, 7), QTime(16, 5, 9));
    const WorkbookTarget first = ReserveExportFile(directory, now);
    const WorkbookTarget second = ReserveExportFile(directory, now);
    EXPECT_EQ(QFileInfo(first.path).fileName(), QStringLiteral("Book_20261207_160509.xlsx"));
    EXPECT_EQ(QFileInfo(second.path).fileName(), QStringLiteral("Book_20261207_160509_2.xlsx"));
    EXPECT_TRUE(first.reserved);
    { XlsxWorkbook unfinished(second); }
    EXPECT_FALSE(QFile::exists(second.path));
    EXPECT_TRUE(QFile::exists(first.path));
}

TEST_F(XlsxWorkbookFile, AnUnwritableDirectoryIsTheCreateError) {
    ASSERT_TRUE(QFile::setPermissions(scratch.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner | QFile::ReadOther |
                                                          QFile::ExeOther));
    const QString locked = path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    const WithoutRootAccess asUser;
    ASSERT_TRUE(asUser.active());
    for (const QString& directory : QStringList{locked, locked + QStringLiteral("/sub")}) {
        SCOPED_TRACE(directory.toStdString());
        try {
            ReserveExportFile(directory, QDateTime::currentDateTime());
            ADD_FAILURE() << "reserved a file in an unwritable directory";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), WorkbookCreateError);
            EXPECT_TRUE(e.description().startsWith(QStringLiteral("ブックを作成できません。")));
        }
        EXPECT_THROW(XlsxWorkbook({directory + QStringLiteral("/x.xlsx"), false}), Error);
    }
}

} // namespace
} // namespace brindle::test
