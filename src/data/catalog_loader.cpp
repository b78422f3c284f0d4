#include "data/catalog_loader.h"

#include "core/error.h"

#include <QMetaObject>

#include <chrono>

namespace brindle::catalog {

namespace {

// How long closing waits for the thread before letting it go.
constexpr std::chrono::seconds kJoinWait{3};

} // namespace

CatalogLoader::CatalogLoader(CatalogSourceFactory open, QObject* parent)
    : QObject(parent), m_shared(std::make_shared<Shared>()),
      m_thread(&CatalogLoader::Run, this, m_shared, std::move(open)) {}

CatalogLoader::~CatalogLoader() {
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    ++m_shared->generation;
    m_shared->jobs.clear();
    m_shared->wake.notify_all();
    // A driver call that does not return (a server that never answers)
    // must not hold up the program's end.
    const bool done =
        m_shared->finished.wait_for(lock, kJoinWait, [this] { return m_shared->done; });
    lock.unlock();
    if (done)
        m_thread.join();
    else
        m_thread.detach();
}

void CatalogLoader::Load(const QString& connectionString) {
    Post({Job::Kind::Open, 0, connectionString, {}}, true);
}

void CatalogLoader::LoadColumns(const Table& table) {
    Post({Job::Kind::Columns, 0, {}, table}, false);
}

void CatalogLoader::Cancel() {
    Post({Job::Kind::Close, 0, {}, {}}, true);
}

void CatalogLoader::Post(Job job, bool newGeneration) {
    {
        std::lock_guard lock(m_shared->mutex);
        if (newGeneration) {
            ++m_shared->generation;
            m_shared->jobs.clear();
        }
        job.generation = m_shared->generation;
        m_shared->jobs.push_back(std::move(job));
    }
    m_shared->wake.notify_all();
}

quint64 CatalogLoader::Generation() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->generation;
}

// Posted to the window's thread, where the signals belong; a result that an
// earlier load or a cancel has overtaken on the way is dropped there too.
// Called with the shared mutex held and the loader not stopping, so the
// loader is alive while the event is posted (Qt drops it if the loader goes
// before it is delivered).
template <typename Emit> void CatalogLoader::Deliver(quint64 generation, Emit emitSignal) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, emitSignal = std::move(emitSignal)] {
            if (generation == Generation())
                emitSignal();
        },
        Qt::QueuedConnection);
}

void CatalogLoader::Run(CatalogLoader* loader, std::shared_ptr<Shared> shared,
                        CatalogSourceFactory open) {
    const auto stale = [&shared](quint64 generation) {
        std::lock_guard lock(shared->mutex);
        return generation != shared->generation;
    };
    // Delivers unless the result is stale or the loader is going.
    const auto deliver = [&](quint64 generation, auto emitSignal) {
        std::lock_guard lock(shared->mutex);
        if (!shared->stopping && generation == shared->generation)
            loader->Deliver(generation, std::move(emitSignal));
    };
    std::unique_ptr<CatalogSource> source; // lives and dies on this thread
    for (;;) {
        Job job;
        {
            std::unique_lock lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->stopping || !shared->jobs.empty(); });
            if (shared->stopping)
                break;
            job = std::move(shared->jobs.front());
            shared->jobs.pop_front();
        }
        const quint64 generation = job.generation;
        try {
            switch (job.kind) {
            case Job::Kind::Close:
                source.reset();
                break;
            case Job::Kind::Open: {
                source.reset();
                source = open(job.connectionString);
                job.connectionString.clear();
                NameRules rules = source->Rules();
                std::vector<Table> tables = source->Tables([&] { return stale(generation); });
                deliver(generation,
                        [loader, generation, rules = std::move(rules), tables = std::move(tables)] {
                            emit loader->TablesLoaded(generation, rules, tables);
                        });
                break;
            }
            case Job::Kind::Columns: {
                if (!source || stale(generation))
                    break;
                std::vector<Column> columns = source->Columns(job.table);
                deliver(generation,
                        [loader, generation, table = job.table, columns = std::move(columns)] {
                            emit loader->ColumnsLoaded(generation, table, columns);
                        });
                break;
            }
            }
        } catch (const Error& e) {
            if (job.kind == Job::Kind::Open)
                source.reset();
            deliver(generation, [loader, generation, table = job.table, message = e.description()] {
                emit loader->Failed(generation, table, message);
            });
        }
    }
    source.reset();
    std::lock_guard lock(shared->mutex);
    shared->done = true;
    shared->finished.notify_all();
}

} // namespace brindle::catalog
