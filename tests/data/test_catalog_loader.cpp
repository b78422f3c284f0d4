#include "data/catalog_loader.h"

#include "core/error.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <atomic>

namespace brindle::catalog {
namespace {

using namespace Qt::StringLiterals;

// What the fake connections do, shared with the test.
struct Script {
    std::atomic<bool> holdTables{false}; // Tables() waits until told to stop
    std::atomic<bool> stuck{false};      // Tables() waits, deaf to stopping, as a dead server
    std::atomic<bool> lost{false};       // every call fails as a dropped connection does
    std::atomic<int> opened{0};
    std::atomic<int> tablesDone{0}; // the last the thread touches of this
};

class FakeSource final : public CatalogSource {
public:
    FakeSource(Script& script, QString connectionString)
        : m_script(script), m_name(std::move(connectionString)) {}
    NameRules Rules() override {
        Fail();
        return {};
    }
    std::vector<Table> Tables(const StopRequested& stop) override {
        while ((m_script.holdTables && !stop()) || m_script.stuck)
            QThread::msleep(1);
        Fail();
        std::vector<Table> tables{{{}, {}, m_name, u"TABLE"_s}};
        ++m_script.tablesDone;
        return tables;
    }
    std::vector<Column> Columns(const Table& table) override {
        Fail();
        return {{table.name + u"_id", u"int"_s, 10, 0, true}};
    }

private:
    void Fail() const {
        if (m_script.lost)
            throw Error(-1, u"サーバーとの接続が切れました。"_s);
    }
    Script& m_script;
    QString m_name;
};

class CatalogLoaderTest : public ::testing::Test {
protected:
    CatalogSourceFactory Factory() {
        return [this](const QString& text) -> std::unique_ptr<CatalogSource> {
            ++script.opened;
            if (text == u"unreachable")
                throw Error(-1, u"接続できません。"_s);
            return std::make_unique<FakeSource>(script, text);
        };
    }
    // Generous: a loaded machine may take its time.
    static bool WaitFor(QSignalSpy& spy, int count = 1) {
        const QDeadlineTimer deadline(60000);
        while (spy.size() < count && !deadline.hasExpired())
            spy.wait(100);
        return spy.size() >= count;
    }
    Script script;
};

TEST_F(CatalogLoaderTest, ANewerLoadOvertakesAnOlderOneWhichNeverArrives) {
    CatalogLoader loader(Factory());
    QSignalSpy tables(&loader, &CatalogLoader::TablesLoaded);
    script.holdTables = true;
    loader.Load(u"first"_s);
    ASSERT_TRUE(test::WaitUntil([&] { return script.opened.load() == 1; }))
        << "script.opened.load()";
    loader.Load(u"second"_s); // stops the first, still held, at its next row
    script.holdTables = false;
    ASSERT_TRUE(WaitFor(tables));
    QCoreApplication::processEvents();
    ASSERT_EQ(tables.size(), 1);
    const auto loaded = tables[0][2].value<std::vector<Table>>();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].name, u"second");
    EXPECT_EQ(tables[0][0].value<quint64>(), loader.Generation());

    QSignalSpy columns(&loader, &CatalogLoader::ColumnsLoaded);
    loader.LoadColumns(loaded[0]);
    ASSERT_TRUE(WaitFor(columns));
    EXPECT_EQ(columns[0][2].value<std::vector<Column>>().front().name, u"second_id");
}

TEST_F(CatalogLoaderTest, ALostConnectionIsOneFailureAndALaterLoadWorks) {
    CatalogLoader loader(Factory());
    QSignalSpy tables(&loader, &CatalogLoader::TablesLoaded);
    QSignalSpy failed(&loader, &CatalogLoader::Failed);
    loader.Load(u"db"_s);
    ASSERT_TRUE(WaitFor(tables));
    script.lost = true;
    loader.LoadColumns(tables[0][2].value<std::vector<Table>>().front());
    ASSERT_TRUE(WaitFor(failed));
    EXPECT_EQ(failed[0][1].value<Table>().name, u"db") << "says which table it was for";
    EXPECT_EQ(failed[0][2].toString(), u"サーバーとの接続が切れました。");

    loader.Load(u"unreachable"_s);
    ASSERT_TRUE(WaitFor(failed, 2));
    EXPECT_EQ(failed[1][2].toString(), u"接続できません。");

    script.lost = false;
    loader.Load(u"db"_s); // the refresh after reconnecting
    ASSERT_TRUE(WaitFor(tables, 2));
    EXPECT_EQ(failed.size(), 2);
}

TEST_F(CatalogLoaderTest, CancelAndDestructionStopAHeldLoad) {
    {
        CatalogLoader loader(Factory());
        QSignalSpy tables(&loader, &CatalogLoader::TablesLoaded);
        script.holdTables = true;
        loader.Load(u"held"_s);
        ASSERT_TRUE(test::WaitUntil([&] { return script.opened.load() == 1; }))
            << "script.opened.load()";
        loader.Cancel();
        loader.LoadColumns({{}, {}, u"held"_s, u"TABLE"_s}); // no connection any more
        QSignalSpy failed(&loader, &CatalogLoader::Failed);
        QTest::qWait(50);
        EXPECT_EQ(tables.size(), 0);
        EXPECT_EQ(failed.size(), 0);
        loader.Load(u"again"_s);
    } // destroyed while "again" is held: must return
    {
        CatalogLoader loader(Factory());
        script.opened = 0;
        script.tablesDone = 0;
        script.stuck = true;
        loader.Load(u"dead server"_s);
        ASSERT_TRUE(test::WaitUntil([&] { return script.opened.load() == 1; }));
    } // a call that never returns does not hold up the end either
    script.stuck = false;
    // The thread let go still reads the script: it must outlive it.
    ASSERT_TRUE(test::WaitUntil([&] { return script.tablesDone.load() == 1; }));
}

} // namespace
} // namespace brindle::catalog
