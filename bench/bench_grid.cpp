// Sizing the result grid's columns for a million rows: every number, date and
// time column as wide as its widest value in the whole result.

#include "core/error.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/grid_cell_delegate.h"
#include "data/grid_sizing.h"
#include "data/grid_widest_rows.h"
#include "data/odbc_column_values.h"
#include "data/odbc_locale.h"
#include "data/recordset.h"
#include "data/recordset_model.h"

#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

using brindle::Command;
using brindle::Connection;
using brindle::Recordset;

constexpr int kRows = 1'000'000;

// One SQLite database with a million rows, read into a result set once:
// an integer, a text (a third Japanese), a floating number of few digits and
// one of sixteen or seventeen, a date, a timestamp with milliseconds in
// every thousandth row, and a text that is NULL in 30 % of the rows.
class Result {
public:
    static Result& instance() {
        static Result result;
        return result;
    }
    Recordset& recordset() { return m_rs; }

private:
    Result() {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary directory");
        m_connection.setConnectionString(u"Driver=SQLite3;Database=" +
                                         QDir(m_dir.path()).filePath(QStringLiteral("grid.db")) +
                                         u';');
        m_connection.Open();
        Command command;
        command.setActiveConnection(&m_connection);
        command.setCommandTimeout(0);
        const auto run = [&](const QString& sql) {
            command.setCommandText(sql);
            m_rs.Open(command);
            if (m_rs.State() != 0)
                m_rs.Close();
        };
        run(QStringLiteral("CREATE TABLE t(id INTEGER, name VARCHAR(40), amount DOUBLE, "
                           "ratio DOUBLE, day DATE, stamp TIMESTAMP, note VARCHAR(40))"));
        run(u"INSERT INTO t WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
            u"WHERE x < " +
            QString::number(kRows) +
            u") SELECT x, substr(CASE WHEN x % 3 = 0 THEN '東京都千代田区丸の内一丁目様' "
            u"ELSE 'Customer number ' END || x || ' abcdefghijklmnopqrstuvwxyz0123456789', "
            u"1, 20 + x % 21), x * 1.25, x / 7.0, date('2000-01-01', '+' || (x % 9000) || "
            u"' days'), datetime('2000-01-01', '+' || x || ' seconds') || "
            u"CASE WHEN x % 1000 = 0 THEN '.250' ELSE '' END, "
            u"CASE WHEN x % 10 < 3 THEN NULL ELSE 'note for ' || x END FROM c");
        command.setCommandText(
            QStringLiteral("SELECT id, name, amount, ratio, day, stamp, note FROM t"));
        m_rs.Open(command);
    }

    QTemporaryDir m_dir;
    Connection m_connection;
    Recordset m_rs;
};

// What a run's BindGrid does: the model bound afresh, every column sized.
void BM_BindAndFitColumns(benchmark::State& state) {
    try {
        Recordset& rs = Result::instance().recordset();
        QTableView grid;
        grid.setItemDelegate(new brindle::GridCellDelegate(&grid));
        brindle::RecordsetModel model;
        grid.setModel(&model);
        const int textLimit = grid.fontMetrics().averageCharWidth() * 40;
        for (auto _ : state) {
            model.Bind(&rs);
            brindle::FitColumns(grid, 100, textLimit);
        }
        state.counters["rows"] = static_cast<double>(model.rowCount());
    } catch (const brindle::Error& e) {
        state.SkipWithError(e.description().toStdString().c_str());
    }
}
BENCHMARK(BM_BindAndFitColumns)->Unit(benchmark::kMillisecond)->UseRealTime();

// The look over one column's values alone.
void BM_WidestRows(benchmark::State& state) {
    try {
        Recordset& rs = Result::instance().recordset();
        const auto column = static_cast<int>(state.range(0));
        state.SetLabel(rs.FieldName(column).toStdString());
        const brindle::odbc::ColumnValues& values = rs.FieldValues(column);
        for (auto _ : state)
            benchmark::DoNotOptimize(brindle::GridWidestRows(values));
    } catch (const brindle::Error& e) {
        state.SkipWithError(e.description().toStdString().c_str());
    }
}
BENCHMARK(BM_WidestRows)
    ->Arg(0)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Decimals (exact digits, kept as text): SQLite has none, so made here.
void BM_WidestRowsOfDecimals(benchmark::State& state) {
    brindle::odbc::ColumnValues values(brindle::odbc::ColumnKind::Decimal);
    for (int x = 1; x <= kRows; ++x) {
        const QString text = QString::number(x) + u'.' + QString::number(x % 100);
        values.appendText(text.utf16(), text.size());
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(brindle::GridWidestRows(values));
}
BENCHMARK(BM_WidestRowsOfDecimals)->Unit(benchmark::kMillisecond)->UseRealTime();

// Floating numbers so small that the powers of ten checking them are not
// exact doubles: every row's digits are counted in full.
void BM_WidestRowsOfTinyDoubles(benchmark::State& state) {
    brindle::odbc::ColumnValues values(brindle::odbc::ColumnKind::Double);
    for (int x = 1; x <= kRows; ++x) {
        // Read from text, so each has the few digits it was written with.
        const std::string text = std::to_string(x) + "e-30";
        values.appendDouble(std::strtod(text.c_str(), nullptr));
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(brindle::GridWidestRows(values));
}
BENCHMARK(BM_WidestRowsOfTinyDoubles)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
