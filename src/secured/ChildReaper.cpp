#include "secured/ChildReaper.h"

#include <QProcess>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSet>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mv::secured {

namespace {

// The SIGCHLD handler only wakes the event loop; everything else happens there.
int gWakeWrite = -1;
struct sigaction gPrevious {};

void onChildSignal(int signal, siginfo_t* info, void* context)
{
    const int saved = errno;
    const char byte = 0;
    (void)!::write(gWakeWrite, &byte, 1);
    // Whoever handled SIGCHLD before us still hears it.
    if (gPrevious.sa_flags & SA_SIGINFO) {
        if (gPrevious.sa_sigaction)
            gPrevious.sa_sigaction(signal, info, context);
    } else if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN && gPrevious.sa_handler) {
        gPrevious.sa_handler(signal);
    }
    errno = saved;
}

// Installs the handler once per process; returns the read end of its wake pipe.
int installHandler()
{
    static const int readEnd = [] {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return -1;
        gWakeWrite = fds[1];
        struct sigaction action {};
        action.sa_sigaction = onChildSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART | SA_NOCLDSTOP;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGCHLD, &action, &gPrevious);
        return fds[0];
    }();
    return readEnd;
}

// The processes this program holds a pidfd for, read from its own descriptors' fdinfo.
QSet<pid_t> pidfdTargets()
{
    QSet<pid_t> pids;
    const QStringList fds = QDir(QStringLiteral("/proc/self/fdinfo")).entryList(QDir::Files);
    for (const QString& fd : fds) {
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd);
        if (!info.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("Pid:"))
                pids.insert(pid_t(line.mid(4).trimmed().toInt()));
        }
    }
    return pids;
}

// Our children, with their state letters.
QHash<pid_t, char> ourChildren()
{
    QHash<pid_t, char> children;
    const pid_t self = ::getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = pid_t(entry.toInt(&number));
        pid_t parent = 0;
        char state = 0;
        if (number && readProcessStat(pid, parent, state) && parent == self)
            children.insert(pid, state);
    }
    return children;
}

} // namespace

bool readProcessStat(pid_t pid, pid_t& parent, char& state)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = file.readAll();
    // "pid (name) S ppid ...": the name may hold blanks and parentheses, so read after the last ")".
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() < 2 || fields[0].isEmpty())
        return false;
    state = fields[0].at(0);
    parent = pid_t(fields[1].toInt());
    return true;
}

ChildReaper& ChildReaper::instance()
{
    static QPointer<ChildReaper> reaper;
    if (!reaper)
        reaper = new ChildReaper();
    return *reaper;
}

ChildReaper::ChildReaper() : QObject(QCoreApplication::instance())
{
    subreaper_ = ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0;
    const int wake = installHandler();
    if (wake >= 0) {
        wake_ = new QSocketNotifier(wake, QSocketNotifier::Read, this);
        connect(wake_, &QSocketNotifier::activated, this, [wake, this] {
            char drain[64];
            while (::read(wake, drain, sizeof drain) > 0) {
            }
            reapOrphans();
        });
    }
}

namespace {

void addClaim(QHash<pid_t, int>& claims, pid_t pid, int change)
{
    const auto it = claims.find(pid);
    if (change > 0)
        ++claims[pid];
    else if (it != claims.end() && --it.value() <= 0)
        claims.erase(it);
}

} // namespace

void ChildReaper::claim(pid_t pid, Claim kind)
{
    addClaim(claims_, pid, 1);
    if (kind == Claim::Helper)
        addClaim(helpers_, pid, 1);
}

void ChildReaper::release(pid_t pid, Claim kind)
{
    addClaim(claims_, pid, -1);
    if (kind == Claim::Helper)
        addClaim(helpers_, pid, -1);
}

QList<pid_t> ChildReaper::strayChildren() const
{
    const QSet<pid_t> held = pidfdTargets();
    QList<pid_t> strays;
    const QHash<pid_t, char> children = ourChildren();
    for (auto it = children.begin(); it != children.end(); ++it) {
        const pid_t pid = it.key();
        const bool foreign = held.contains(pid) && !claims_.contains(pid);
        if (it.value() != 'Z' && !helpers_.contains(pid) && !foreign)
            strays << pid;
    }
    return strays;
}

void ChildReaper::reapOrphans()
{
    const QHash<pid_t, char> children = ourChildren();
    QSet<pid_t> held;
    bool heldRead = false;
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (it.value() != 'Z' || claims_.contains(it.key()))
            continue;
        if (!heldRead) {
            held = pidfdTargets();
            heldRead = true;
        }
        if (!held.contains(it.key()))
            ::waitpid(it.key(), nullptr, WNOHANG);
    }
}

bool ChildReaper::startNotOurs(const QString& program, const QStringList& arguments, qint64* pid)
{
    // QProcess::startDetached forks twice and waits for the middle process, whose end orphans
    // the program: by the time it returns, the program has its new parent.
    int subreaper = 0;
    const bool was = ::prctl(PR_GET_CHILD_SUBREAPER, &subreaper, 0, 0, 0) == 0 && subreaper != 0;
    if (was)
        ::prctl(PR_SET_CHILD_SUBREAPER, 0, 0, 0, 0);
    const bool started = QProcess::startDetached(program, arguments, {}, pid);
    if (was)
        ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
    return started;
}

} // namespace mv::secured
