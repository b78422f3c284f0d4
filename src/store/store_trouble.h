#pragma once

#include "core/error.h"
#include "store/query_journal.h"

#include <functional>

namespace brindle::store {

// What a worker writing to the store tells the user: the first failure of an
// episode, however many attempts fail in it, and that writing works again.
// The worker's thread only.
class StoreTrouble {
public:
    enum class State { None, Unavailable, WriteFailed };

    explicit StoreTrouble(std::function<void(const JournalProblem&)> onProblem);

    State state() const { return m_state; }

    // Tells `onProblem`, whatever it throws: the worker goes on.
    void Report(JournalProblem::Kind kind, const QString& detail) const;
    // An attempt failed; `storeOpen`: the store could be opened and the write
    // itself failed. Reported when it starts an episode.
    void Failed(bool storeOpen, const Error& failure);
    // An attempt succeeded: Resumed when it ends an episode.
    void Succeeded();

private:
    std::function<void(const JournalProblem&)> m_onProblem;
    State m_state = State::None;
};

} // namespace brindle::store
