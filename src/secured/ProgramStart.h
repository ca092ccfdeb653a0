// Starting a program of the Secured Access List: no shell, and no second reading of its path.
// The program is the path itself; its parameters become arguments as a POSIX shell would split
// them; it starts in its own folder. It is started through the launch helper (LaunchProtocol.h),
// which stays its ancestor, and, where the user's systemd manager runs, inside a transient
// scope of its own, whose control group then holds everything it starts.
#pragma once

#include "fileio/UniqueFd.h"
#include "fileutil/FileResult.h"

#include <QString>

#include <sys/types.h>

namespace mv::secured {

enum class ScopeUse {
    WhenAvailable, // a systemd user manager is present: start in a transient scope
    Never
};

struct StartOptions {
    // The launch helper; empty: launchHelperPath().
    QString helper;
    ScopeUse scope = ScopeUse::WhenAvailable;
    // How long the start may take before it counts as failed (systemd-run asks the manager
    // over D-Bus; the helper itself answers at once).
    int timeoutMs = 10000;
};

struct [[nodiscard]] StartOutcome {
    // On failure step "start the program" and the system's reason ("No such file or
    // directory", "Permission denied", "Exec format error" ...).
    fileutil::FileResult status;
    pid_t helperPid = -1;   // our child: it ends when the program and all it started have
    pid_t programPid = -1;  // the program itself, the helper's child
    fileio::UniqueFd pidfd; // of the helper
    // The scope's "cgroup.events" file, which says "populated 0" once the scope is empty;
    // empty when the program was started without a scope.
    QString scopeEvents;
    // "MV_LAUNCH_MARK=<random>": in the environment of the program and all it starts, so that
    // the processes of this launch can be told from any other child of this program.
    QByteArray launchMark;
};

inline constexpr char kLaunchMarkName[] = "MV_LAUNCH_MARK=";

// Whether process `pid` carries `mark` in its environment, or cannot be looked at (a program
// that made itself unreadable is counted rather than passed over).
bool carriesLaunchMark(pid_t pid, const QByteArray& mark);

// The folder the program starts in: the path up to its last "/", or empty (this program's own
// working folder) for a bare name.
QString programFolder(const QString& path);

// mvlaunch beside this program's executable, or, in an installed tree, in the program's private
// folder.
QString launchHelperPath();

// Whether `path` names a program this user may run (a bare name found on PATH) and `params`
// split; step "start the program" with the reason when not. Nothing is started: a start can
// be refused before anything is decrypted for it.
fileutil::FileResult checkProgram(const QString& path, const QString& params);

// Starts `path` with `params` and returns once the program has started or failed to.
// A bare name is looked up on PATH. Open files of this program are not handed on: the program
// gets standard input, output and error only.
StartOutcome startProgram(const QString& path, const QString& params, const StartOptions& options = {});

// Kills a program that has just started (the program is ending and it must not run on with
// its files plain) and collects its launch helper. Waits at most a few seconds.
void stopStartedProgram(StartOutcome& started);

// Whether a systemd user manager runs for this session and control groups v2 are mounted, so
// that a transient scope can hold the program. Checked at every start.
bool systemdUserManagerPresent();

} // namespace mv::secured
