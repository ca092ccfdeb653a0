// Watches one started program until it and everything it started have ended, without
// polling: the launch helper's pidfd becomes readable when the helper ends, and the helper
// ends only when the last process under it has (it is their subreaper). Where the program
// runs in a systemd scope, the scope must be empty too ("populated 0" in its
// cgroup.events, heard through inotify): a process that left the tree but stayed in the
// scope still counts.
//
// Should the helper be killed, its descendants come to this program (ChildReaper); the
// watch then adopts those that carry the launch's mark in their environment and keeps watching
// each by its own pidfd, and, as each ends, the processes it leaves behind.
#pragma once

#include "secured/ProgramStart.h"

#include <QDateTime>
#include <QObject>

#include <memory>
#include <vector>

class QFileSystemWatcher;
class QSocketNotifier;

namespace mv::secured {

class ProgramWatch : public QObject {
    Q_OBJECT

public:
    // Takes the helper's pidfd out of `started`.
    explicit ProgramWatch(StartOutcome& started, QObject* parent = nullptr);
    ~ProgramWatch() override;

    [[nodiscard]] bool isRunning() const { return !ended_; }
    // How many processes are watched one by one: 1 (the helper) normally, more after the
    // helper was killed.
    [[nodiscard]] int watchedCount() const { return int(tracked_.size()); }
    [[nodiscard]] bool helperKilled() const { return helperKilled_; }

signals:
    // Once: the program and every process it started have ended.
    void ended();

private:
    struct Tracked {
        pid_t pid = -1;
        fileio::UniqueFd pidfd;
        QSocketNotifier* notifier = nullptr;
        bool helper = false;
    };

    void track(pid_t pid, fileio::UniqueFd pidfd, bool helper);
    void onProcessEnded(pid_t pid);
    void adoptStrays();
    void readScope();
    void checkEnded();

    std::vector<std::unique_ptr<Tracked>> tracked_;
    QString scopeEvents_;
    QByteArray launchMark_;
    QFileSystemWatcher* scopeWatch_ = nullptr;
    bool scopePopulated_ = false;
    bool helperKilled_ = false;
    bool ended_ = false;
};

} // namespace mv::secured
