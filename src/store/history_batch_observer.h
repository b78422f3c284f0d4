#pragma once

#include "data/batch_observer.h"
#include "store/query_history.h"

namespace brindle::store {

// Hands every batch a command runs to the history, with where it ran: the
// data source, the login and the document's caption.
class HistoryBatchObserver final : public BatchObserver {
public:
    HistoryBatchObserver(HistoryRecorder& recorder, QString dsn, QString login, QString caption)
        : m_recorder(recorder), m_dsn(std::move(dsn)), m_login(std::move(login)),
          m_caption(std::move(caption)) {}

    void BatchEnded(const BatchReport& report) noexcept override;

private:
    HistoryRecorder& m_recorder;
    QString m_dsn;
    QString m_login;
    QString m_caption;
};

} // namespace brindle::store
