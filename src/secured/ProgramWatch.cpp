#include "secured/ProgramWatch.h"

#include "fileio/RetryInterrupted.h"
#include "secured/ChildReaper.h"
#include "secured/LaunchProtocol.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mv::secured {

ProgramWatch::ProgramWatch(StartOutcome& started, QObject* parent) : QObject(parent)
{
    ChildReaper::instance(); // from now on, strays come to us rather than to init
    if (started.pidfd.valid())
        track(started.helperPid, std::move(started.pidfd), true);
    scopeEvents_ = started.scopeEvents;
    launchMark_ = started.launchMark;
    if (!scopeEvents_.isEmpty()) {
        scopeWatch_ = new QFileSystemWatcher({scopeEvents_}, this);
        connect(scopeWatch_, &QFileSystemWatcher::fileChanged, this, [this] {
            readScope();
            checkEnded();
        });
        readScope();
    }
    checkEnded();
}

ProgramWatch::~ProgramWatch()
{
    for (const auto& t : tracked_)
        ChildReaper::instance().release(t->pid,
                                        t->helper ? ChildReaper::Claim::Helper : ChildReaper::Claim::Stray);
}

void ProgramWatch::track(pid_t pid, fileio::UniqueFd pidfd, bool helper)
{
    auto t = std::make_unique<Tracked>();
    t->pid = pid;
    t->pidfd = std::move(pidfd);
    t->helper = helper;
    t->notifier = new QSocketNotifier(t->pidfd.get(), QSocketNotifier::Read, this);
    connect(t->notifier, &QSocketNotifier::activated, this, [this, pid] { onProcessEnded(pid); });
    ChildReaper::instance().claim(pid, helper ? ChildReaper::Claim::Helper : ChildReaper::Claim::Stray);
    tracked_.push_back(std::move(t));
}

void ProgramWatch::onProcessEnded(pid_t pid)
{
    const auto it =
        std::find_if(tracked_.begin(), tracked_.end(), [pid](const auto& t) { return t->pid == pid; });
    if (it == tracked_.end())
        return;
    const bool helper = (*it)->helper;
    int status = 0;
    const pid_t got = fileio::retryInterrupted([&] { return ::waitpid(pid, &status, WNOHANG); });
    if (got == 0)
        return; // the pidfd spoke early; it will again
    // got < 0 (ECHILD): another watch that adopted the same stray collected it first.
    (*it)->notifier->setEnabled(false);
    (*it)->notifier->deleteLater();
    ChildReaper::instance().release(pid, helper ? ChildReaper::Claim::Helper : ChildReaper::Claim::Stray);
    tracked_.erase(it);

    const bool helperDone = got == pid && WIFEXITED(status) && WEXITSTATUS(status) == launch::kHelperDone;
    if (helper && !helperDone)
        helperKilled_ = true;
    // A helper that ended on its own has collected everything; otherwise the children of
    // what just ended are ours now.
    if (!helper || !helperDone)
        adoptStrays();
    checkEnded();
}

void ProgramWatch::adoptStrays()
{
    for (const pid_t pid : ChildReaper::instance().strayChildren()) {
        if (std::any_of(tracked_.begin(), tracked_.end(), [pid](const auto& t) { return t->pid == pid; }))
            continue;
        // Another child of ours (a second window of this program, say) is not this launch's.
        if (!launchMark_.isEmpty() && !carriesLaunchMark(pid, launchMark_))
            continue;
        fileio::UniqueFd pidfd(int(::syscall(SYS_pidfd_open, pid, 0)));
        if (pidfd.valid())
            track(pid, std::move(pidfd), false);
    }
}

void ProgramWatch::readScope()
{
    QFile file(scopeEvents_);
    if (!file.open(QIODevice::ReadOnly)) {
        scopePopulated_ = false; // the scope is gone: systemd removes it once it is empty
        return;
    }
    scopePopulated_ = !file.readAll().contains("populated 0");
    // A file that was replaced or removed and made again is no longer watched.
    if (scopeWatch_ && !scopeWatch_->files().contains(scopeEvents_))
        scopeWatch_->addPath(scopeEvents_);
}

void ProgramWatch::checkEnded()
{
    if (ended_ || !tracked_.empty() || scopePopulated_)
        return;
    ended_ = true;
    emit ended();
}

} // namespace mv::secured
