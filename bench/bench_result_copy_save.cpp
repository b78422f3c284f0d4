// Copying and saving a large result: 1,000,000 rows of five columns (integer,
// Japanese text of about 30 characters, double, date, text with 30 % NULL)
// copied as tab-separated text and saved as CSV (UTF-8 and code page 932),
// TSV and JSON, against a yardstick that writes the same cells from the
// stored columns with nothing but the conversions.

#include "data/command.h"
#include "data/connection.h"
#include "data/odbc_column_values.h"
#include "data/paste_to_excel.h"
#include "data/recordset.h"
#include "data/result_cell_text.h"
#include "data/result_copy.h"
#include "data/result_save.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLatin1StringView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>

namespace {

using namespace brindle;
using namespace Qt::Literals::StringLiterals;

constexpr qint64 Rows = 1'000'000;

// The SQLite database and the result, read once per run.
class Result {
public:
    static Result& instance() {
        static Result result;
        return result;
    }
    const Recordset& rs() const { return m_rs; }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private:
    Result() {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary directory");
        m_connection.setConnectionString(u"Driver=SQLite3;Database=" + file(u"copy.db"_s) + u';');
        m_connection.Open();
        Run(u"CREATE TABLE t(id INTEGER, name VARCHAR(60), amount DOUBLE, day DATE, "
            u"note VARCHAR(40))"_s);
        Run(u"INSERT INTO t WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
            u"WHERE x < "_s +
            QString::number(Rows) +
            u") SELECT x, '東京都千代田区丸の内一丁目 株式会社ブリンドル 第' || x, x * 1.37 / 7, "
            u"date('2000-01-01', '+' || (x % 9000) || ' days'), "
            u"CASE WHEN x % 10 < 3 THEN NULL ELSE 'note, for \"' || x || '\"' END FROM c"_s);
        m_command.setActiveConnection(&m_connection);
        m_command.setCommandTimeout(0);
        m_command.setCommandText(u"SELECT * FROM t ORDER BY id"_s);
        m_rs.Open(m_command);
        if (m_rs.RecordCount() != Rows)
            throw std::runtime_error("the result is short");
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
    Connection m_connection;
    Command m_command;
    Recordset m_rs;
};

CellBlock Everything(const Recordset& rs) {
    CellBlock all;
    all.rows.emplace_back(0, rs.RecordCount() - 1);
    for (int c = 0; c < rs.FieldCount(); ++c)
        all.columns.push_back(c);
    return all;
}

void BM_CopyCells(benchmark::State& state) {
    const Recordset& rs = Result::instance().rs();
    const CellBlock all = Everything(rs);
    qsizetype size = 0;
    for (auto _ : state) {
        const QString text = CopyCellsText(rs, all, true);
        size = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["rows"] = static_cast<double>(Rows);
    state.counters["text_MB"] = static_cast<double>(size) * 2 / (1024.0 * 1024.0);
}
BENCHMARK(BM_CopyCells)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same copy through Value(row, column) and a QVariant per cell.
void BM_CopyCellsThroughValue(benchmark::State& state) {
    const Recordset& rs = Result::instance().rs();
    for (auto _ : state) {
        QString text;
        text.reserve(100 * Rows);
        for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
            for (int c = 0; c < rs.FieldCount(); ++c) {
                if (c > 0)
                    text += u'\t';
                const QVariant value = rs.Value(row, c);
                if (!value.isNull())
                    AppendDelimitedField(text, WholeValueText(value), u'\t');
            }
            text += u"\r\n";
        }
        benchmark::DoNotOptimize(text.constData());
    }
}
BENCHMARK(BM_CopyCellsThroughValue)->Unit(benchmark::kMillisecond)->UseRealTime();

// The heap in use, sampled as the save goes: it must not grow with the rows.
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

void BM_SaveResult(benchmark::State& state) {
    const auto format = static_cast<ResultFileFormat>(state.range(0));
    const Recordset& rs = Result::instance().rs();
    const QString target = Result::instance().file(u"out"_s);
    qint64 heapAdded = 0;
    for (auto _ : state) {
        HeapSampler heap;
        const qint64 before = HeapSampler::InUse();
        SaveResult(rs, target, format, &heap);
        heapAdded = std::max(heapAdded, heap.peak - before);
    }
    state.counters["heap_peak_added_MB"] = static_cast<double>(heapAdded) / (1024.0 * 1024.0);
    state.counters["file_MB"] = static_cast<double>(QFile(target).size()) / (1024.0 * 1024.0);
    QFile::remove(target);
}
BENCHMARK(BM_SaveResult)
    ->ArgName("format")
    ->Arg(static_cast<int>(ResultFileFormat::CsvUtf8))
    ->Arg(static_cast<int>(ResultFileFormat::CsvCp932))
    ->Arg(static_cast<int>(ResultFileFormat::Tsv))
    ->Arg(static_cast<int>(ResultFileFormat::Json))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The yardstick: the stored columns written with only the conversions (no
// quoting, no edits, std::to_chars for the numbers), into one QString, or as
// UTF-8 to a file in 64 KB pieces through fwrite.
void AppendRowPlain(QString& out, const std::vector<const odbc::ColumnValues*>& columns,
                    qsizetype row) {
    char digits[32];
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            out += u'\t';
        const odbc::ColumnValues& values = *columns[c];
        if (values.isNull(row))
            continue;
        const auto r = static_cast<std::size_t>(row);
        switch (values.kind()) {
        case odbc::ColumnKind::Integer: {
            const auto end =
                std::to_chars(digits, digits + sizeof digits, values.fixedValues()[r]).ptr;
            out.append(QLatin1StringView(digits, end - digits));
            break;
        }
        case odbc::ColumnKind::Double: {
            const auto end =
                std::to_chars(digits, digits + sizeof digits, values.doubleValues()[r]).ptr;
            out.append(QLatin1StringView(digits, end - digits));
            break;
        }
        case odbc::ColumnKind::Date: {
            int y = 0, m = 0, d = 0;
            QDate::fromJulianDay(values.fixedValues()[r]).getDate(&y, &m, &d);
            const char text[] = {char('0' + y / 1000),
                                 char('0' + y / 100 % 10),
                                 char('0' + y / 10 % 10),
                                 char('0' + y % 10),
                                 '-',
                                 char('0' + m / 10),
                                 char('0' + m % 10),
                                 '-',
                                 char('0' + d / 10),
                                 char('0' + d % 10)};
            std::copy(text, text + 10, digits);
            out.append(QLatin1StringView(digits, 10));
            break;
        }
        default: {
            const std::u16string_view text = values.textView(row);
            out.append(QStringView(text.data(), static_cast<qsizetype>(text.size())));
        }
        }
    }
    out += u"\r\n";
}

std::vector<const odbc::ColumnValues*> Columns(const Recordset& rs) {
    std::vector<const odbc::ColumnValues*> columns;
    for (int c = 0; c < rs.FieldCount(); ++c)
        columns.push_back(&rs.FieldValues(c));
    return columns;
}

void BM_YardstickCopy(benchmark::State& state) {
    const Recordset& rs = Result::instance().rs();
    const auto columns = Columns(rs);
    for (auto _ : state) {
        QString text;
        text.reserve(96 * Rows); // more than the text needs: no copy while it grows
        for (qsizetype row = 0; row < Rows; ++row)
            AppendRowPlain(text, columns, row);
        benchmark::DoNotOptimize(text.constData());
    }
}
BENCHMARK(BM_YardstickCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_YardstickFileUtf8(benchmark::State& state) {
    const Recordset& rs = Result::instance().rs();
    const auto columns = Columns(rs);
    const QString target = Result::instance().file(u"yardstick"_s);
    for (auto _ : state) {
        FILE* file = std::fopen(QFile::encodeName(target).constData(), "wb");
        if (!file) {
            state.SkipWithError("cannot write the yardstick's file");
            return;
        }
        QString piece;
        piece.reserve(40 * 1024);
        for (qsizetype row = 0; row < Rows; ++row) {
            AppendRowPlain(piece, columns, row);
            if (piece.size() >= 32 * 1024 || row + 1 == Rows) {
                const QByteArray bytes = piece.toUtf8();
                std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
                piece.clear();
            }
        }
        std::fclose(file);
    }
    QFile::remove(target);
}
BENCHMARK(BM_YardstickFileUtf8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
