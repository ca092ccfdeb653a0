#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace mv::shell::test {

// Lets this thread's events through until `done` holds. The limit only keeps a broken build
// from hanging; nothing is measured with it.
inline bool runEventsUntil(const std::function<bool()>& done, int limitMs = 30000)
{
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

} // namespace mv::shell::test
