// SIGTERM (a session ending), SIGINT (Ctrl+C in a terminal) and SIGHUP ask the program to close
// as the Exit command does, so the settings are written and the picture cleared on the way out;
// a program of the Secured Access List that still runs is waited for a while rather than
// refusing the close (MainWindow::requestStop).
#pragma once

#include <QObject>

namespace mv::shell {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one object per process.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    // Emitted on the thread that made the object, never inside the signal handler.
    void quitRequested();
};

} // namespace mv::shell
