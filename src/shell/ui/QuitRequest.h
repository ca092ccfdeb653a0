// Exit, Unload or a stop signal (SIGTERM, SIGHUP, SIGINT) end the program from wherever it is:
// a batch that runs is cancelled as its Cancel question's Yes would (the file in hand is
// finished or left whole), every question open over the window closes unanswered, from the
// top down, and once the last has unwound the window closes as Exit closes it, writing the
// settings. Without this a signal closed the window while a dialog kept the program alive.
#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace mv::shell {

class QuitRequest : public QObject {
    Q_OBJECT

public:
    explicit QuitRequest(QWidget* window);

    // Starts the way out; asking again changes nothing.
    void request();
    [[nodiscard]] bool requested() const { return requested_; }

private:
    // Closes the topmost question, or waits for a batch to stop, or closes the window.
    void step();

    QWidget* window_;
    QTimer next_;
    bool requested_ = false;
};

} // namespace mv::shell
