#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace brindle::test {

// Runs the event loop until the condition holds, for up to a generous minute
// (a loaded machine may take its time); whether it came to hold.
template <typename Condition> bool WaitUntil(Condition condition, int milliseconds = 60000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

} // namespace brindle::test
