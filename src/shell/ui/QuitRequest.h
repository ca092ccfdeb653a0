// Exit, Unload or a stop signal (SIGTERM, SIGHUP, SIGINT) end the program from wherever it is:
// every job of the window is asked to stop through its runner (a batch as its Cancel
// question's Yes would, a decryption after the file in hand, a re-lock only at its end), every
// question open over the window is answered as Cancel, from the top down, and a job's own
// window is left to close itself once its worker has ended. When no job runs and no question
// is open, the window closes as Exit closes it, writing the settings.
//
// A stop signal (a logout, a shutdown) while a program of the Secured Access List runs waits,
// for a bounded time, until the program has ended and its files are encrypted again: the
// session ends the program too. Past that time the window closes all the same, the files stay
// plain and named in the run journal for the next start, and the exit status says so. Exit
// itself is refused while such a program runs.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace mv::widgets {
class JobRunner;
} // namespace mv::widgets

namespace mv::shell {

class QuitRequest : public QObject {
    Q_OBJECT

public:
    QuitRequest(QWidget* window, widgets::JobRunner& runner);

    // Starts the way out; asking again while it is under way changes nothing.
    void request();
    // The same for a stop signal: listed programs that run are waited for, at most
    // programWaitMs.
    void requestStop();
    [[nodiscard]] bool requested() const { return requested_; }

    // Whether a listed program runs (or its files wait to be encrypted again).
    std::function<bool()> programsRun;
    // The wait is over: the window closes with the programs still running.
    std::function<void()> leavePrograms;
    // Logout gives the session's programs some seconds; a program still running after this
    // long is left running.
    int programWaitMs = 30000;

private:
    // Closes the topmost question, or waits for the jobs, or closes the window.
    void step();

    QWidget* window_;
    widgets::JobRunner& runner_;
    QTimer next_;
    bool requested_ = false;
    bool bySignal_ = false;
    QElapsedTimer waitingForPrograms_;
};

} // namespace mv::shell
