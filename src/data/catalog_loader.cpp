#include "data/catalog_loader.h"

#include "core/error.h"

#include <QMetaObject>

namespace brindle::catalog {

CatalogLoader::CatalogLoader(CatalogSourceFactory open, QObject* parent)
    : QObject(parent), m_open(std::move(open)), m_thread([this] { Run(); }) {}

CatalogLoader::~CatalogLoader() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        ++m_generation;
        m_jobs.clear();
    }
    m_wake.notify_all();
    m_thread.join();
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
        std::lock_guard lock(m_mutex);
        if (newGeneration) {
            ++m_generation;
            m_jobs.clear();
        }
        job.generation = m_generation;
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_all();
}

quint64 CatalogLoader::Generation() const {
    std::lock_guard lock(m_mutex);
    return m_generation;
}

bool CatalogLoader::Stale(quint64 generation) const {
    return generation != Generation();
}

// Runs on the window's thread, where the signals belong; a result that an
// earlier load or a cancel has overtaken on the way is dropped there too.
template <typename Emit> void CatalogLoader::Deliver(quint64 generation, Emit emitSignal) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, emitSignal = std::move(emitSignal)] {
            if (!Stale(generation))
                emitSignal();
        },
        Qt::QueuedConnection);
}

void CatalogLoader::Run() {
    std::unique_ptr<CatalogSource> source; // lives and dies on this thread
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                break;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        const quint64 generation = job.generation;
        try {
            switch (job.kind) {
            case Job::Kind::Close:
                source.reset();
                break;
            case Job::Kind::Open: {
                source.reset();
                source = m_open(job.connectionString);
                job.connectionString.clear();
                NameRules rules = source->Rules();
                std::vector<Table> tables = source->Tables([&] { return Stale(generation); });
                if (Stale(generation))
                    break;
                Deliver(generation,
                        [this, generation, rules = std::move(rules), tables = std::move(tables)] {
                            emit TablesLoaded(generation, rules, tables);
                        });
                break;
            }
            case Job::Kind::Columns: {
                if (!source || Stale(generation))
                    break;
                std::vector<Column> columns = source->Columns(job.table);
                Deliver(generation,
                        [this, generation, table = job.table, columns = std::move(columns)] {
                            emit ColumnsLoaded(generation, table, columns);
                        });
                break;
            }
            }
        } catch (const Error& e) {
            if (job.kind == Job::Kind::Open)
                source.reset();
            Deliver(generation, [this, generation, table = job.table, message = e.description()] {
                emit Failed(generation, table, message);
            });
        }
    }
}

} // namespace brindle::catalog
