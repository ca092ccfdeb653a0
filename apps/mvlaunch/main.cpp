// mvlaunch: starts one program of the Secured Access List and lives exactly as long as it and
// everything it starts. As a child subreaper it inherits every descendant whose parent ends
// (a program that forks into the background and exits, a launcher that hands over to its
// real program), so the kernel itself keeps the descendants of this one launch together:
// the program that watches knows only this process, and its end means the files are free.
//
// Usage (by the program, not by hand): mvlaunch <program> [arguments...], with the report
// pipe as descriptor 3. Only async-signal-safe work is done between fork and exec.
#include "fileio/FdIo.h"
#include "fileio/RetryInterrupted.h"
#include "secured/LaunchProtocol.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace launch = mv::secured::launch;

namespace {

void report(launch::Report kind, int value)
{
    const launch::LaunchReport message {kind, {0, 0, 0}, value};
    // Nobody is left to tell when the pipe is gone.
    (void)mv::fileio::writeFull(launch::kStatusFd, &message, sizeof message);
}

// Collects children until none is left.
void reapAll()
{
    // Until ECHILD: the last descendant has ended.
    while (mv::fileio::retryInterrupted([] { return ::waitpid(-1, nullptr, 0); }) >= 0) {
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Without the report pipe nobody would learn what became of the program: start nothing.
    if (argc < 2 || ::fcntl(launch::kStatusFd, F_SETFD, FD_CLOEXEC) != 0)
        return launch::kHelperNotStarted;
    ::prctl(PR_SET_NAME, launch::kHelperName, 0, 0, 0);
    if (::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0) {
        report(launch::Report::HelperFailed, errno);
        return launch::kHelperNotStarted;
    }

    // The exec's outcome comes back over a pipe that closes by itself when the exec succeeds.
    int execPipe[2];
    if (::pipe2(execPipe, O_CLOEXEC) != 0) {
        report(launch::Report::HelperFailed, errno);
        return launch::kHelperNotStarted;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        report(launch::Report::HelperFailed, errno);
        return launch::kHelperNotStarted;
    }
    if (child == 0) {
        ::execv(argv[1], argv + 1);
        const int error = errno;
        (void)!::write(execPipe[1], &error, sizeof error);
        ::_exit(launch::kHelperNotStarted);
    }
    ::close(execPipe[1]);
    int execError = 0;
    const ssize_t got = mv::fileio::readFull(execPipe[0], &execError, sizeof execError);
    ::close(execPipe[0]);
    if (got == sizeof execError) {
        report(launch::Report::ExecFailed, execError);
        ::waitpid(child, nullptr, 0);
        return launch::kHelperNotStarted;
    }
    report(launch::Report::Started, child);
    ::close(launch::kStatusFd);

    reapAll();
    return launch::kHelperDone;
}
