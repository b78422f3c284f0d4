#pragma once

#include "data/catalog.h"
#include "data/catalog_source.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace brindle::catalog {

// Reads the catalog on a thread and a connection of its own, so a batch on
// the shared connection is never held up by it. The connection string (and
// the password in it) lives only in memory. Every result carries the
// generation of the load it belongs to; a result of an earlier load, or of
// one cancelled, is dropped before it reaches the window.
class CatalogLoader : public QObject {
    Q_OBJECT
public:
    explicit CatalogLoader(CatalogSourceFactory open = OpenOdbcCatalog, QObject* parent = nullptr);
    ~CatalogLoader() override;

    // Connects anew and reads the tables; whatever was loading is dropped.
    void Load(const QString& connectionString);
    // Reads one table's columns on the loaded connection.
    void LoadColumns(const Table& table);
    // Drops whatever is loading and closes the catalog's connection.
    void Cancel();
    // The generation of the newest load.
    quint64 Generation() const;

signals:
    void TablesLoaded(quint64 generation, const brindle::catalog::NameRules& rules,
                      const std::vector<brindle::catalog::Table>& tables);
    void ColumnsLoaded(quint64 generation, const brindle::catalog::Table& table,
                       const std::vector<brindle::catalog::Column>& columns);
    // A load failed; for a columns load the table it was for, otherwise an
    // empty table.
    void Failed(quint64 generation, const brindle::catalog::Table& table, const QString& message);

private:
    struct Job {
        enum class Kind { Open, Columns, Close } kind;
        quint64 generation;
        QString connectionString;
        Table table;
    };
    // What the thread shares with the loader. The thread keeps it alive, so
    // a loader that does not wait for a driver call stuck on an unreachable
    // server (it lets the thread go at the end) leaves nothing behind.
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable finished;
        std::deque<Job> jobs;
        quint64 generation = 0;
        bool stopping = false;
        bool done = false;
    };

    void Post(Job job, bool newGeneration);
    template <typename Emit> void Deliver(quint64 generation, Emit emitSignal);
    static void Run(CatalogLoader* loader, std::shared_ptr<Shared> shared,
                    CatalogSourceFactory open);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

} // namespace brindle::catalog
