#include "data/export_file.h"
#include "data/paste_to_excel.h"
#include "data/spreadsheet.h"
#include "data/xlsx_spreadsheet.h"
#include "support/xlsx_reader.h"
#include "test_backends.h"

#include <QDir>
#include <QFile>

#include <optional>
#include <vector>

namespace brindle::test {
namespace {

// A sheet that records what it is asked to do, and can fail on request.
class RecordingSheet final : public Worksheet {
public:
    void SetColumnNumberFormat(int column, const QString& format) override {
        if (column == failFormatAt)
            throw Error(1004, QStringLiteral("format refused"));
        calls.push_back(u"format " + QString::number(column) + u' ' + format);
    }
    void SetCellValue(int row, int column, const QString& value) override {
        calls.push_back(u"cell " + QString::number(row) + u' ' + QString::number(column) + u' ' +
                        value);
    }
    void SetRangeValue(int row, int column, const SheetBlock& block) override {
        if (row + block.rows() - 1 > rowLimit)
            throw Error(1004, QStringLiteral("does not fit"));
        calls.push_back(u"range " + QString::number(row) + u' ' + QString::number(column) + u' ' +
                        QString::number(block.rows()) + u'x' + QString::number(block.columns()));
        blocks.push_back(block);
    }
    std::vector<QString> calls;
    std::vector<SheetBlock> blocks;
    int failFormatAt = 0;
    int rowLimit = 1048576;
};

struct RecordingSpreadsheet final : public Spreadsheet {
    explicit RecordingSpreadsheet(RecordingSheet& sheet, int& shows, bool addFails, bool showFails)
        : sheet(sheet), shows(shows), addFails(addFails), showFails(showFails) {}
    Worksheet& AddWorkbook() override {
        if (addFails)
            throw Error(429, QStringLiteral("no workbook"));
        return sheet;
    }
    void Show() override {
        ++shows;
        if (showFails)
            throw Error(429, QStringLiteral("nothing opens it"));
    }
    RecordingSheet& sheet;
    int& shows;
    bool addFails;
    bool showFails;
};

// Stops the export after `stopAfter` records.
struct StoppingProgress final : public ExportProgress {
    void Begin(qsizetype records) override { total = records; }
    bool Written(qsizetype records) override {
        reported.push_back(records);
        return records < stopAfter;
    }
    void End() override { ++ended; }
    int ended = 0;
    qsizetype total = -1;
    qsizetype stopAfter = 0;
    std::vector<qsizetype> reported;
};

QString Numbers(const Backend& backend, int count) {
    return u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           QString::number(count) + u") SELECT i, " +
           backend.concat(QStringLiteral("'r'"), QStringLiteral("i")) +
           u" AS label FROM n ORDER BY i";
}

class PasteToExcelSteps : public DatabaseTest {
protected:
    struct Outcome {
        qsizetype written = 0;
        std::vector<QString> errors;
    };

    Outcome Export(bool createFails = false, bool addFails = false, bool showFails = false,
                   ExportProgress* progress = nullptr) {
        Outcome outcome;
        outcome.written = PasteToExcel(
            rs,
            [&]() -> std::unique_ptr<Spreadsheet> {
                if (createFails)
                    throw Error(429, QStringLiteral("cannot create"));
                return std::make_unique<RecordingSpreadsheet>(sheet, shows, addFails, showFails);
            },
            [&](const QString& description) { outcome.errors.push_back(description); }, progress);
        return outcome;
    }

    RecordingSheet sheet;
    int shows = 0;
};

TEST_P(PasteToExcelSteps, HeaderCellByCellThenBlocksOfAHundredThenClose) {
    Query(Numbers(backend(), 250));
    const Outcome outcome = Export();
    EXPECT_TRUE(outcome.errors.empty());
    EXPECT_EQ(outcome.written, 250);
    const std::vector<QString> expected = {
        QStringLiteral("format 1 @"),       QStringLiteral("cell 1 1 i"),
        QStringLiteral("format 2 @"),       QStringLiteral("cell 1 2 label"),
        QStringLiteral("range 2 1 100x2"),  QStringLiteral("range 102 1 100x2"),
        QStringLiteral("range 202 1 100x2")};
    EXPECT_EQ(sheet.calls, expected);
    ASSERT_EQ(sheet.blocks.size(), 3u);
    EXPECT_EQ(sheet.blocks[0].at(0, 0), QStringLiteral("1"));
    EXPECT_EQ(sheet.blocks[1].at(99, 1), QStringLiteral("r200"));
    EXPECT_EQ(sheet.blocks[2].at(49, 0), QStringLiteral("250"));
    // The rows no record fills stay empty, also after the full blocks before.
    for (int r = 50; r < 100; ++r) {
        EXPECT_TRUE(sheet.blocks[2].at(r, 0).isEmpty());
        EXPECT_TRUE(sheet.blocks[2].at(r, 1).isEmpty());
    }
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(rs.State(), 0);
}

TEST_P(PasteToExcelSteps, AnEmptyResultGivesTheHeaderOnly) {
    Query(QStringLiteral("SELECT 1 AS a, 'x' AS b WHERE 1 = 0"));
    const Outcome outcome = Export();
    EXPECT_EQ(outcome.written, 0);
    EXPECT_EQ(sheet.calls.size(), 4u);
    EXPECT_TRUE(sheet.blocks.empty());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(rs.State(), 0);
}

TEST_P(PasteToExcelSteps, ABlockThatDoesNotFitStopsSilentlyWithTheResultLeftOpen) {
    Query(Numbers(backend(), 350));
    sheet.rowLimit = 250; // the third block (rows 202-301) does not fit
    const Outcome outcome = Export();
    EXPECT_TRUE(outcome.errors.empty());
    EXPECT_EQ(outcome.written, 200);
    EXPECT_EQ(sheet.blocks.size(), 2u);
    EXPECT_EQ(shows, 1);
    ASSERT_EQ(rs.State(), 1);
    // Where the export stopped: past the records of the block that failed.
    EXPECT_EQ(rs.AbsolutePosition(), 301);
}

TEST_P(PasteToExcelSteps, StoppingFromTheProgressEndsLikeAFailedBlock) {
    Query(Numbers(backend(), 250));
    StoppingProgress progress;
    progress.stopAfter = 100;
    const Outcome outcome = Export(false, false, false, &progress);
    EXPECT_EQ(progress.total, 250);
    EXPECT_EQ(progress.reported, std::vector<qsizetype>{100});
    EXPECT_EQ(progress.ended, 1);
    EXPECT_EQ(outcome.written, 100);
    EXPECT_TRUE(outcome.errors.empty());
    EXPECT_EQ(shows, 1);
    ASSERT_EQ(rs.State(), 1);
    EXPECT_EQ(rs.AbsolutePosition(), 101);
}

TEST_P(PasteToExcelSteps, EachFailureIsShownOnceAndTheWorkbookStillHandedOver) {
    const struct {
        const char* name;
        bool createFails, addFails, showFails;
        int failFormatAt;
        int shows;
        bool resultClosed;
    } cases[] = {
        {"application", true, false, false, 0, 0, false},
        {"workbook", false, true, false, 0, 1, false},
        {"header", false, false, false, 2, 1, false},
        {"opening", false, false, true, 0, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Query(Numbers(backend(), 5));
        sheet = RecordingSheet();
        sheet.failFormatAt = c.failFormatAt;
        shows = 0;
        const Outcome outcome = Export(c.createFails, c.addFails, c.showFails);
        EXPECT_EQ(outcome.errors.size(), 1u);
        EXPECT_EQ(shows, c.shows);
        EXPECT_EQ(rs.State() == 0, c.resultClosed);
        if (c.failFormatAt == 2) {
            // What was written before the failure stays.
            EXPECT_EQ(sheet.calls, (std::vector<QString>{QStringLiteral("format 1 @"),
                                                         QStringLiteral("cell 1 1 i")}));
        }
    }
}

BRINDLE_ALL_BACKENDS(PasteToExcelSteps);

// The real workbook, read back by a reader of its own.
class XlsxExport : public DatabaseTest {
protected:
    XlsxContents ExportAndRead() {
        const QString path = scratch.filePath(QStringLiteral("out.xlsx"));
        std::vector<QString> errors;
        PasteToExcel(
            rs,
            [&] {
                return std::make_unique<XlsxSpreadsheet>([path] {
                    return WorkbookTarget{path, false};
                });
            },
            [&](const QString& description) { errors.push_back(description); });
        EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0].toStdString());
        return ReadXlsx(path);
    }
};

TEST_P(XlsxExport, TextCellsHoldEveryValueAsTheDatabaseGaveIt) {
    const QString japanese = JapaneseText(backend());
    Exec(
        u"CREATE TEMPORARY TABLE t (k integer, s varchar(40), d double precision, n numeric(10,4), "
        u"dt date, ts " +
        backend().timestampType + u", b " + backend().binaryType + u")");
    Exec(u"INSERT INTO t VALUES (1, '007', 1.5, 12.3400, '2026-12-07', '2026-12-07 08:09:10', " +
         backend().hexBytes(QStringLiteral("00ff10")) + u")");
    Exec(u"INSERT INTO t VALUES (2, '" + japanese +
         u"', NULL, NULL, NULL, NULL, NULL), (3, '', -0.25, -3, NULL, NULL, NULL)");
    Exec(QStringLiteral("INSERT INTO t (k, s) VALUES (4, 'a_x0041_b'), (5, 'tab\tbell\x07')"));
    Query(QStringLiteral("SELECT * FROM t ORDER BY k"));

    const XlsxContents book = ExportAndRead();
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    EXPECT_EQ(book.maxRow, 6);
    EXPECT_EQ(book.maxColumn, 7);
    const QStringList header = {QStringLiteral("k"), QStringLiteral("s"),  QStringLiteral("d"),
                                QStringLiteral("n"), QStringLiteral("dt"), QStringLiteral("ts"),
                                QStringLiteral("b")};
    const QStringList first = {QStringLiteral("1"),          QStringLiteral("007"),
                               QStringLiteral("1.5"),        QStringLiteral("12.34"),
                               QStringLiteral("2026-12-07"), QStringLiteral("2026-12-07 08:09:10"),
                               QStringLiteral("0x00FF10")};
    for (int c = 1; c <= 7; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(book.cell(1, c).toString(), header[c - 1]);
        EXPECT_EQ(book.cell(2, c).toString(), first[c - 1]);
        const QString letter(QChar(u'A' + c - 1));
        EXPECT_EQ(book.columnFormats.value(letter).toString(), QStringLiteral("@"));
        EXPECT_EQ(book.format(2, c), QStringLiteral("@"));
    }
    EXPECT_EQ(book.cell(3, 2).toString(), japanese);
    EXPECT_TRUE(book.cell(3, 3).isNull()); // NULL: an empty cell
    EXPECT_TRUE(book.cell(4, 2).isNull()); // an empty string too
    EXPECT_EQ(book.cell(4, 3).toString(), QStringLiteral("-0.25"));
    EXPECT_EQ(book.cell(4, 4).toString(), QStringLiteral("-3"));
    EXPECT_EQ(book.cell(5, 2).toString(), QStringLiteral("a_x0041_b"));
    EXPECT_EQ(book.cell(6, 2).toString(), QStringLiteral("tab\tbell\x07"));
}

TEST_P(XlsxExport, TwoHundredFiftyRowsEndAtRow251) {
    Query(Numbers(backend(), 250));
    const XlsxContents book = ExportAndRead();
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    EXPECT_EQ(book.maxRow, 251);
    EXPECT_EQ(book.cell(251, 2).toString(), QStringLiteral("r250"));
    EXPECT_EQ(book.cell(102, 1).toString(), QStringLiteral("101"));
}

TEST_P(XlsxExport, AnEmptyResultIsTheHeaderRowOnly) {
    Query(QStringLiteral("SELECT 1 AS a, 2 AS b WHERE 1 = 0"));
    const XlsxContents book = ExportAndRead();
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    EXPECT_EQ(book.maxRow, 1);
    EXPECT_EQ(book.cell(1, 1).toString(), QStringLiteral("a"));
    EXPECT_EQ(book.cell(1, 2).toString(), QStringLiteral("b"));
}

BRINDLE_ALL_BACKENDS(XlsxExport);

} // namespace
} // namespace brindle::test
