#pragma once

#include "store/query_journal.h"

#include <QObject>

#include <functional>
#include <vector>

namespace brindle {

// Carries the journal's problems from its worker thread to the window's
// thread, and holds them until the main window is there to tell the user.
class JournalWarnings final : public QObject {
    Q_OBJECT
public:
    using Sink = std::function<void(const store::JournalProblem&)>;

    explicit JournalWarnings(QObject* parent = nullptr) : QObject(parent) {}

    // From any thread.
    void Post(const store::JournalProblem& problem);
    // From now on problems go to `sink`, those held first; an empty sink
    // holds them again.
    void SetSink(Sink sink);

private:
    void Receive(const store::JournalProblem& problem);

    Sink m_sink;
    std::vector<store::JournalProblem> m_held;
};

// What the user is told of a problem: a box for all but a resumption.
QString JournalProblemText(const store::JournalProblem& problem);

} // namespace brindle
