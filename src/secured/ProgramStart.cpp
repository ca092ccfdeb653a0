#include "secured/ProgramStart.h"

#include "fileio/RetryInterrupted.h"
#include "fileio/SpawnSignals.h"
#include "secured/ArgumentSplit.h"
#include "secured/LaunchProtocol.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <QRandomGenerator>
#include <cerrno>

#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mv::secured {

namespace {

using fileio::UniqueFd;
using fileutil::FileResult;

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::secured", text);
}

FileResult startFailure(const QString& reason, int error = 0)
{
    return fileutil::failureOf(tr("start the program"), reason, error);
}

FileResult systemFailure(int error)
{
    return startFailure(QString::fromStdString(fileio::errorText(error)), error);
}

// The cgroup v2 hierarchy: /sys/fs/cgroup, or its "unified" part on a hybrid system.
QString cgroup2Root()
{
    for (const char* root : {"/sys/fs/cgroup", "/sys/fs/cgroup/unified"}) {
        if (QFileInfo::exists(QString::fromLatin1(root) + QStringLiteral("/cgroup.controllers")))
            return QString::fromLatin1(root);
    }
    return {};
}

// The "cgroup.events" of the scope `pid` runs in, when it runs in a scope of its own.
QString scopeEventsOf(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/cgroup").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString root = cgroup2Root();
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.startsWith("0::"))
            continue;
        const QString path = QString::fromUtf8(line.mid(3));
        if (root.isEmpty() || !path.endsWith(QStringLiteral(".scope")))
            return {};
        const QString events = root + path + QStringLiteral("/cgroup.events");
        return QFileInfo::exists(events) ? events : QString();
    }
    return {};
}

struct Spawned {
    pid_t pid = -1;
    UniqueFd pidfd;
    UniqueFd reports; // the read end of the helper's report pipe
    int error = 0;
};

// Starts argv with the write end of a fresh pipe as kStatusFd and nothing else open beyond
// standard input, output and error, detached from any terminal by setsid (no terminal's
// signals reach the program), every signal at its default and none blocked.
Spawned spawn(const std::vector<std::string>& argv, const std::string& folder, const QByteArray& mark)
{
    Spawned out;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        out.error = errno;
        return out;
    }
    out.reports.reset(fds[0]);
    UniqueFd writeEnd(fds[1]);
    if (writeEnd.get() <= launch::kStatusFd) {
        // dup2 onto the same number would leave close-on-exec set.
        writeEnd.reset(::fcntl(writeEnd.get(), F_DUPFD_CLOEXEC, launch::kStatusFd + 1));
        if (!writeEnd.valid()) {
            out.error = errno;
            return out;
        }
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), launch::kStatusFd);
    posix_spawn_file_actions_addclosefrom_np(&actions, launch::kStatusFd + 1);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Detached by setsid: the program outlives no terminal of ours and gets none of its signals.
    fileio::cleanSignalsOnSpawn(&attributes, POSIX_SPAWN_SETSID);

    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    // Our environment and the launch's mark, which everything the program starts inherits.
    const QByteArray markName = mark.left(mark.indexOf('=') + 1);
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        if (!QByteArrayView(*e).startsWith(markName))
            env.push_back(*e);
    }
    env.push_back(const_cast<char*>(mark.constData()));
    env.push_back(nullptr);
    const int rc = ::posix_spawn(&out.pid, args[0], &actions, &attributes, args.data(), env.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        out.error = rc;
        out.pid = -1;
        return out;
    }
    // Our own child cannot be collected behind our back before this: nothing here waits for
    // children but the holders of their pidfds.
    out.pidfd.reset(int(::syscall(SYS_pidfd_open, out.pid, 0)));
    if (!out.pidfd.valid())
        out.error = errno;
    return out;
}

enum class Heard {
    Report,
    Ended,
    TimedOut
};

// Reads the helper's one report, or learns that its pipe closed without one.
Heard readReport(int fd, int timeoutMs, launch::LaunchReport& report)
{
    char* p = reinterpret_cast<char*>(&report);
    std::size_t got = 0;
    while (got < sizeof report) {
        pollfd waiting {fd, POLLIN, 0};
        const int ready = fileio::retryInterrupted([&] { return ::poll(&waiting, 1, timeoutMs); });
        if (ready == 0)
            return Heard::TimedOut;
        const ssize_t n = fileio::retryInterrupted([&] { return ::read(fd, p + got, sizeof report - got); });
        if (n <= 0)
            return Heard::Ended;
        got += std::size_t(n);
    }
    return Heard::Report;
}

// How long a program killed right after its start may take to go.
constexpr int kStopWaitMs = 2000;

void collect(pid_t pid)
{
    (void)fileio::retryInterrupted([pid] { return ::waitpid(pid, nullptr, 0); });
}

} // namespace

QString programFolder(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

bool systemdUserManagerPresent()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/systemd/private")) &&
           !cgroup2Root().isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("systemd-run")).isEmpty();
}

QString launchHelperPath()
{
    // Beside the program in a build; in the program's private folder once installed.
    const QString here = QCoreApplication::applicationDirPath() + u'/';
    const QString beside = here + QString::fromLatin1(launch::kHelperName);
#ifdef MV_INSTALLED_HELPER_DIR
    if (!QFileInfo(beside).isExecutable())
        return here + QStringLiteral(MV_INSTALLED_HELPER_DIR) + u'/' +
               QString::fromLatin1(launch::kHelperName);
#endif
    return beside;
}

FileResult checkProgram(const QString& path, const QString& params)
{
    if (SplitArguments split = splitArguments(params); !split.status)
        return split.status;
    if (path.isEmpty())
        return startFailure(tr("no program is chosen"));
    const QString program = path.contains(u'/') ? path : QStandardPaths::findExecutable(path);
    if (program.isEmpty())
        return systemFailure(ENOENT);
    const std::string native = fileutil::nativePath(program);
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0)
        return systemFailure(errno);
    if (S_ISDIR(st.st_mode))
        return systemFailure(EISDIR);
    if (!S_ISREG(st.st_mode) || ::access(native.c_str(), X_OK) != 0)
        return systemFailure(EACCES);
    return FileResult::success();
}

StartOutcome startProgram(const QString& path, const QString& params, const StartOptions& options)
{
    StartOutcome out;
    SplitArguments split = splitArguments(params);
    if (!split.status) {
        out.status = split.status;
        return out;
    }
    QString program = path;
    if (!path.contains(u'/')) {
        program = QStandardPaths::findExecutable(path);
        if (program.isEmpty()) {
            out.status = systemFailure(ENOENT);
            return out;
        }
    }
    const QString helper = options.helper.isEmpty() ? launchHelperPath() : options.helper;

    std::vector<std::string> argv {fileutil::nativePath(helper), fileutil::nativePath(program)};
    for (const QString& arg : split.arguments)
        argv.push_back(fileutil::nativePath(arg));
    const std::string folder = fileutil::nativePath(programFolder(path));

    out.launchMark = kLaunchMarkName + QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    bool inScope = options.scope == ScopeUse::WhenAvailable && systemdUserManagerPresent();
    for (;;) {
        std::vector<std::string> line = argv;
        if (inScope) {
            const QString run = QStandardPaths::findExecutable(QStringLiteral("systemd-run"));
            line.insert(line.begin(), {fileutil::nativePath(run), "--user", "--scope", "--quiet", "--collect",
                                       "--description=Mirravelnock Secured Access", "--"});
        }
        Spawned started = spawn(line, folder, out.launchMark);
        if (started.pid < 0) {
            // The helper (or systemd-run) itself could not be started.
            out.status = systemFailure(started.error);
            return out;
        }
        if (!started.pidfd.valid()) {
            ::kill(started.pid, SIGKILL);
            collect(started.pid);
            out.status = systemFailure(started.error);
            return out;
        }
        launch::LaunchReport report {};
        const Heard heard = readReport(started.reports.get(), options.timeoutMs, report);
        if (heard == Heard::Report && report.kind == launch::Report::Started) {
            out.helperPid = started.pid;
            out.programPid = report.value;
            out.pidfd = std::move(started.pidfd);
            if (inScope)
                out.scopeEvents = scopeEventsOf(started.pid);
            return out;
        }
        if (heard == Heard::TimedOut)
            ::kill(started.pid, SIGKILL);
        collect(started.pid);
        if (heard == Heard::Report) {
            out.status = systemFailure(report.value);
            return out;
        }
        if (inScope) {
            // systemd-run could not make the scope: start without one.
            inScope = false;
            continue;
        }
        out.status =
            heard == Heard::TimedOut
                ? startFailure(tr("the launch helper did not answer"))
                : startFailure(tr("the launch helper %1 ended before the program started").arg(helper));
        return out;
    }
}

void stopStartedProgram(StartOutcome& started)
{
    if (started.programPid > 0)
        ::kill(started.programPid, SIGKILL);
    // The helper ends with the program; one whose program had already started others is
    // ended too, so that nothing of this start outlives the window unwatched.
    pollfd ended {started.pidfd.get(), POLLIN, 0};
    const int ready = fileio::retryInterrupted([&] { return ::poll(&ended, 1, kStopWaitMs); });
    if (ready <= 0 && started.helperPid > 0)
        ::kill(started.helperPid, SIGKILL);
    if (started.helperPid > 0)
        collect(started.helperPid);
    started.pidfd = fileio::UniqueFd();
}

bool carriesLaunchMark(pid_t pid, const QByteArray& mark)
{
    QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!environment.open(QIODevice::ReadOnly))
        return QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
    return environment.readAll().split('\0').contains(mark);
}

} // namespace mv::secured
