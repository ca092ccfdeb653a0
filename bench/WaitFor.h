// Runs the event loop of a benchmark in the real window until `done` holds or `ms` have
// passed (long enough for a whole thumbnail grid); whether it holds.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>

inline bool waitFor(const std::function<bool()>& done, int ms = 600000)
{
    const QDeadlineTimer deadline(ms);
    // Asleep between events, as the program's own event loop is: a loop that polled would
    // take a processor from the decoders it measures. The timer wakes it to look at the clock.
    QTimer tick;
    tick.start(2);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}
