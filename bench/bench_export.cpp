// Exporting a large result to a workbook: 100,000 rows of ten columns (text,
// integers, doubles, decimals, dates, NULLs) from an open result set to a
// finished .xlsx file, and the memory the export adds, which must not grow
// with the rows.

#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/export_cell_text.h"
#include "data/export_file.h"
#include "data/paste_to_excel.h"
#include "data/recordset.h"
#include "data/xlsx_spreadsheet.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace brindle;

// SQLite database with the ten-column table, made once per run.
class Database {
public:
    static Database& instance() {
        static Database db;
        return db;
    }
    Connection& connection() { return m_connection; }
    const QString& directory() const { return m_path; }

private:
    Database() {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary directory");
        m_path = m_dir.path();
        m_connection.setConnectionString(u"Driver=SQLite3;Database=" +
                                         QDir(m_path).filePath(QStringLiteral("export.db")) + u';');
        m_connection.Open();
        Run(QStringLiteral("CREATE TABLE t(id INTEGER, name VARCHAR(40), code VARCHAR(10), "
                           "amount DOUBLE, price NUMERIC(12,2), day DATE, qty INTEGER, "
                           "note VARCHAR(40), flag VARCHAR(1), score DOUBLE)"));
        Run(QStringLiteral(
            "INSERT INTO t WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
            "WHERE x < 100000) SELECT x, CASE WHEN x % 3 = 0 THEN '東京都千代田区 ' || x "
            "ELSE 'Customer number ' || x END, printf('%06d', x % 1000), x * 1.25, "
            "(x % 10000) / 100.0, date('2000-01-01', '+' || (x % 9000) || ' days'), x % 97, "
            "CASE WHEN x % 10 < 3 THEN NULL ELSE 'note for ' || x END, "
            "CASE WHEN x % 2 = 0 THEN 'Y' ELSE NULL END, "
            "CASE WHEN x % 5 = 0 THEN NULL ELSE x / 7.0 END FROM c"));
    }
    void Run(const QString& sql) {
        Command command;
        command.setActiveConnection(&m_connection);
        command.setCommandTimeout(0);
        command.setCommandText(sql);
        Recordset rs;
        rs.Open(command);
    }

    QTemporaryDir m_dir;
    QString m_path;
    Connection m_connection;
};

void Query(Recordset& rs, qint64 rows) {
    Command command;
    command.setActiveConnection(&Database::instance().connection());
    command.setCommandTimeout(0);
    command.setCommandText(u"SELECT * FROM t WHERE id <= " + QString::number(rows));
    if (rs.State() != 0)
        rs.Close();
    rs.Open(command);
}

// The heap in use, sampled after every block the export writes.
struct HeapSampler final : public ExportProgress {
    static qint64 InUse() {
        const struct mallinfo2 info = mallinfo2();
        return static_cast<qint64>(info.uordblks + info.hblkhd);
    }
    void Begin(qsizetype) override { peak = std::max(peak, InUse()); }
    bool Written(qsizetype) override {
        peak = std::max(peak, InUse());
        return true;
    }
    void End() override {}
    qint64 peak = 0;
};

void BM_ExportToXlsx(benchmark::State& state) {
    const qint64 rows = state.range(0);
    Database& db = Database::instance();
    const QString target = QDir(db.directory()).filePath(QStringLiteral("out.xlsx"));
    Recordset rs;
    qint64 heapAdded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Query(rs, rows);
        QFile::remove(target);
        HeapSampler heap;
        const qint64 heapBefore = HeapSampler::InUse();
        state.ResumeTiming();

        const qsizetype written = PasteToExcel(
            rs,
            [&target] {
                return std::make_unique<XlsxSpreadsheet>([&target] {
                    return WorkbookTarget{target, false};
                });
            },
            [&state](const QString& description) {
                state.SkipWithError(description.toStdString().c_str());
            },
            &heap);
        benchmark::DoNotOptimize(written);

        state.PauseTiming();
        heapAdded = std::max(heapAdded, heap.peak - heapBefore);
        if (written != rows)
            state.SkipWithError("not every record was written");
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["heap_peak_added_MB"] = static_cast<double>(heapAdded) / (1024.0 * 1024.0);
    state.counters["file_MB"] = static_cast<double>(QFile(target).size()) / (1024.0 * 1024.0);
}
// The same rows through openpyxl's write-only mode, for comparison: the
// seconds its writing takes, as the script measures them.
void BM_OpenpyxlWriteOnly(benchmark::State& state) {
    Database& db = Database::instance();
    const QString target = QDir(db.directory()).filePath(QStringLiteral("openpyxl.xlsx"));
    for (auto _ : state) {
        QProcess script;
        script.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(BRINDLE_OPENPYXL_SCRIPT),
                      QDir(db.directory()).filePath(QStringLiteral("export.db")),
                      QString::number(state.range(0)), target});
        if (!script.waitForFinished(600000) || script.exitCode() != 0) {
            state.SkipWithError(script.readAllStandardError().right(300).toStdString().c_str());
            return;
        }
        state.SetIterationTime(script.readAllStandardOutput().trimmed().toDouble());
    }
}
BENCHMARK(BM_OpenpyxlWriteOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime();

// The yardstick: libxlsxwriter alone in constant-memory mode writing the same
// cells (the texts the export writes, made beforehand and not timed) with the
// same text format per column, header included.
void BM_LibxlsxwriterAlone(benchmark::State& state) {
    const qint64 rows = state.range(0);
    Database& db = Database::instance();
    const QString target = QDir(db.directory()).filePath(QStringLiteral("alone.xlsx"));
    Recordset rs;
    Query(rs, rows);
    const int n = rs.FieldCount();
    std::vector<std::string> header;
    std::vector<odbc::ColumnKind> kinds;
    for (int i = 0; i < n; ++i) {
        header.push_back(rs.FieldName(i).toStdString());
        kinds.push_back(rs.FieldKind(i));
    }
    std::vector<std::string> cells;
    for (; !rs.IsEOF(); rs.MoveNext())
        for (int i = 0; i < n; ++i)
            cells.push_back(
                ExportCellText(rs.Value(i), kinds[static_cast<std::size_t>(i)]).toStdString());
    const QByteArray path = QFile::encodeName(target);
    const QByteArray tmpdir = QFile::encodeName(db.directory());
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = const_cast<char*>(tmpdir.constData());
        options.use_zip64 = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        std::vector<lxw_format*> formats;
        for (int i = 0; i < n; ++i) {
            lxw_format* text = workbook_add_format(book);
            format_set_num_format(text, "@");
            const auto col = static_cast<lxw_col_t>(i);
            worksheet_set_column(sheet, col, col, LXW_DEF_COL_WIDTH, text);
            worksheet_write_string(sheet, 0, col, header[static_cast<std::size_t>(i)].c_str(),
                                   nullptr);
            formats.push_back(text);
        }
        for (std::size_t k = 0; k < cells.size(); ++k) {
            if (cells[k].empty())
                continue;
            const auto col = static_cast<lxw_col_t>(k % static_cast<std::size_t>(n));
            worksheet_write_string(sheet,
                                   static_cast<lxw_row_t>(1 + k / static_cast<std::size_t>(n)), col,
                                   cells[k].c_str(), formats[col]);
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("workbook_close failed");
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LibxlsxwriterAlone)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_ExportToXlsx)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
