#pragma once

#include <QString>

namespace brindle {

class BatchExecutor;
class BatchObserver;
class Connection;

// The shared command through which every query batch runs.
class Command {
public:
    Connection* ActiveConnection() const { return m_connection; }
    void setActiveConnection(Connection* connection) { m_connection = connection; }

    QString CommandText() const { return m_text; }
    void setCommandText(const QString& text) { m_text = text; }

    // Whole seconds a batch may run; 0 means no limit. A negative value is
    // refused with an Error and the old value stays.
    int CommandTimeout() const { return m_timeout; }
    void setCommandTimeout(int seconds);

    // Runs the batches of result sets opened on this command; none (null):
    // they run on the caller's thread. Not owned.
    BatchExecutor* Executor() const { return m_executor; }
    void setExecutor(BatchExecutor* executor) { m_executor = executor; }

    // Hears of every batch sent through this command once it has ended
    // (the query history); none (null) by default. Not owned.
    BatchObserver* Observer() const { return m_observer; }
    void setObserver(BatchObserver* observer) { m_observer = observer; }

    // Whether a batch keeps every result it returns (BatchReport::outcomes),
    // not only the first with columns; off by default.
    bool KeepAllResults() const { return m_keepAll; }
    void setKeepAllResults(bool keep) { m_keepAll = keep; }

private:
    bool m_keepAll = false;
    BatchExecutor* m_executor = nullptr;
    BatchObserver* m_observer = nullptr;
    Connection* m_connection = nullptr;
    QString m_text;
    int m_timeout = 30;
};

} // namespace brindle
