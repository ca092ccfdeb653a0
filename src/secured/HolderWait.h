// Waits until no process holds a file of the list open, looking again every second (the
// look runs on a worker: it reads every process's descriptors). It can also wait for a launch
// this program lost sight of (the window that watched it was killed): while its launch helper
// lives, the program or something it started is still at work on the files.
#pragma once

#include "secured/OpenFileHolders.h"

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace mv::secured {

class HolderWait : public QObject {
    Q_OBJECT

public:
    explicit HolderWait(const QStringList& files, QObject* parent = nullptr);
    ~HolderWait() override;

    // Before start(): waits too while the launch helper `helperPid`, started at `helperStarted`
    // (processStartTime), runs; it is shown as `program` with `programPid` holding the files.
    void whileLaunchRuns(pid_t helperPid, quint64 helperStarted, const QString& program, pid_t programPid);

    // Looks at once, then every intervalMs while someone holds a file.
    void start(int intervalMs = 1000);

signals:
    // After each look that found holders.
    void waiting(const QList<secured::FileHolder>& holders);
    // Once, after the first look that found none.
    void released();

private:
    void look();
    void onLooked();

    QStringList files_;
    pid_t helperPid_ = -1;
    quint64 helperStarted_ = 0;
    QString program_;
    pid_t programPid_ = -1;
    QTimer again_;
    QFutureWatcher<QList<FileHolder>> looking_;
};

} // namespace mv::secured
