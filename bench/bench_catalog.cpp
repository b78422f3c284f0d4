// The catalog of 10,000 tables: read through ODBC (connect, name rules and
// SQLTables, as the objects pane loads it) and filtered a keystroke at a time
// in the pane's tree. The databases come from scripts/test --server-only
// (BRINDLE_TEST_PG_DSN/UID/PWD); SQLite needs nothing.

#include "data/catalog_source.h"
#include "data/catalog_tree_model.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

namespace {

using namespace brindle;
using namespace Qt::StringLiterals;

constexpr int kTables = 10000;

void Exec(Connection& connection, const QString& sql) {
    Command command;
    command.setActiveConnection(&connection);
    command.setCommandText(sql);
    Recordset none;
    none.Open(command);
}

// A connection string to a database holding kTables tables, made once.
QString TenThousandTables(bool postgres, QString& why) {
    static QTemporaryDir scratch;
    static QString sqlite, pg;
    if (!postgres) {
        if (sqlite.isEmpty()) {
            sqlite = u"Driver=SQLite3;Database=" + scratch.filePath(u"catalog.db"_s) + u';';
            Connection connection;
            connection.setConnectionString(sqlite);
            connection.Open();
            Exec(connection, u"PRAGMA synchronous = OFF"_s);
            for (int i = 1; i <= kTables; ++i)
                Exec(connection, u"CREATE TABLE t" + QString::number(i) + u" (a integer, b text)");
        }
        return sqlite;
    }
    if (qEnvironmentVariableIsEmpty("BRINDLE_TEST_PG_DSN")) {
        why = u"BRINDLE_TEST_PG_DSN is not set (run under scripts/test --server-only)"_s;
        return {};
    }
    if (pg.isEmpty()) {
        pg = u"DSN=" + qEnvironmentVariable("BRINDLE_TEST_PG_DSN") + u";UID=" +
             qEnvironmentVariable("BRINDLE_TEST_PG_UID") + u";PWD=" +
             qEnvironmentVariable("BRINDLE_TEST_PG_PWD") + u';';
        Connection connection;
        connection.setConnectionString(pg);
        connection.Open();
        Exec(connection, u"DROP SCHEMA IF EXISTS bench_catalog CASCADE"_s);
        Exec(connection, u"CREATE SCHEMA bench_catalog"_s);
        Exec(connection, u"DO $$ BEGIN FOR i IN 1.." + QString::number(kTables) +
                             u" LOOP EXECUTE format('CREATE TABLE bench_catalog.t%s "
                             u"(a integer, b text)', i); END LOOP; END $$");
    }
    return pg;
}

void BM_CatalogLoad(benchmark::State& state) {
    QString why;
    const QString connection = TenThousandTables(state.range(0) == 1, why);
    if (connection.isEmpty()) {
        state.SkipWithError(why.toStdString().c_str());
        return;
    }
    std::size_t tables = 0;
    for (auto _ : state) {
        const std::unique_ptr<catalog::CatalogSource> source = catalog::OpenOdbcCatalog(connection);
        source->Rules();
        tables = source->Tables({}).size();
    }
    state.counters["tables"] = double(tables);
}
BENCHMARK(BM_CatalogLoad)->ArgName("postgres")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One keystroke in the filter box: the model narrowed, the tree laid out and
// painted again, as the user sees it.
void BM_CatalogFilterKeystroke(benchmark::State& state) {
    std::vector<catalog::Table> tables;
    for (int i = 1; i <= kTables; ++i)
        tables.push_back({{}, i % 2 ? u"public"_s : u"sales"_s, u"table_" + QString::number(i),
                          u"TABLE"_s});
    catalog::CatalogTreeModel model;
    model.SetTables({}, tables);
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(300, 700);
    view.show();
    QApplication::processEvents();
    const QStringList typed = {u"t"_s, u"ta"_s, u"tab"_s, u"table_1"_s, u"table_12"_s,
                               u"table_1"_s, u"tab"_s, u"ta"_s, u"t"_s, {}};
    int next = 0;
    for (auto _ : state) {
        model.SetFilter(typed[next++ % typed.size()]);
        for (int row = 0; row < model.rowCount(); ++row)
            view.expand(model.index(row, 0));
        view.viewport()->repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CatalogFilterKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
