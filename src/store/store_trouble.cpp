#include "store/store_trouble.h"

namespace brindle::store {

StoreTrouble::StoreTrouble(std::function<void(const JournalProblem&)> onProblem)
    : m_onProblem(std::move(onProblem)) {}

void StoreTrouble::Report(JournalProblem::Kind kind, const QString& detail) const {
    if (!m_onProblem)
        return;
    try {
        m_onProblem(JournalProblem{kind, detail});
    } catch (...) {
        // The caller's business; the worker goes on.
    }
}

void StoreTrouble::Failed(bool storeOpen, const Error& failure) {
    const State state = storeOpen ? State::WriteFailed : State::Unavailable;
    if (m_state == State::None)
        Report(storeOpen ? JournalProblem::Kind::WriteFailed : JournalProblem::Kind::Unavailable,
               failure.description());
    m_state = state;
}

void StoreTrouble::Succeeded() {
    if (m_state == State::None)
        return;
    m_state = State::None;
    Report(JournalProblem::Kind::Resumed, QString());
}

} // namespace brindle::store
