// Exit, Unload or a stop signal (SIGTERM, SIGHUP, SIGINT) end the program from wherever it is:
// every job of the window is asked to stop through its runner (a batch as its Cancel
// question's Yes would, a decryption after the file in hand, a re-lock only at its end), every
// question open over the window is answered as Cancel, from the top down, and a job's own
// window is left to close itself once its worker has ended. When no job runs and no question
// is open, the window closes as Exit closes it, writing the settings.
#pragma once

#include <QObject>
#include <QTimer>

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
    [[nodiscard]] bool requested() const { return requested_; }

private:
    // Closes the topmost question, or waits for the jobs, or closes the window.
    void step();

    QWidget* window_;
    widgets::JobRunner& runner_;
    QTimer next_;
    bool requested_ = false;
};

} // namespace mv::shell
