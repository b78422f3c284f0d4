#pragma once

#include "store/history_list_model.h"

namespace brindle::store {

// The history as the local store keeps it.
class StoredHistory final : public HistorySource {
public:
    // Throws Error when there is no store or it cannot be read.
    explicit StoredHistory(const StorePaths& paths) : m_reader(paths) {}

    std::vector<HistoryEntry> List(const HistoryFilter& filter, int limit,
                                   qint64 beforeId) override {
        return m_reader.List(filter, limit, beforeId, false);
    }
    std::optional<QString> Text(qint64 id) override { return m_reader.Text(id); }
    QStringList DataSources() override { return m_reader.DataSources(); }
    void Delete(const std::vector<qint64>& ids) override { m_reader.Delete(ids); }
    void Clear() override { m_reader.Clear(); }

private:
    HistoryReader m_reader;
};

} // namespace brindle::store
