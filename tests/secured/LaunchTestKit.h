// Small real programs for the launch tests: shell scripts written into a temporary folder.
#pragma once

#include "fileutil/TestFiles.h"
#include "secured/Launch.h"
#include "secured/ProgramStart.h"
#include "shell/EventWait.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

#include <poll.h>
#include <sys/wait.h>

namespace mv::launchtest {

using mvtest::readAll;
using mvtest::writeAll;

// A path in single quotes, for a script's command line.
inline QByteArray quoted(const QString& path)
{
    return "'" + path.toUtf8() + "'";
}

// Writes an executable shell script with `body` after the "#!/bin/sh" line.
inline QString writeScript(const QString& path, const QByteArray& body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Starts through the helper built beside the tests, without a systemd scope.
inline secured::StartOutcome start(const QString& path, const QString& params = {})
{
    secured::StartOptions options;
    options.helper = QStringLiteral(MV_LAUNCH_HELPER);
    options.scope = secured::ScopeUse::Never;
    return secured::startProgram(path, params, options);
}

// A launch as the tests run it: through the helper built beside them (or `helper`), without a
// systemd scope, its journals in `journalFolder`.
inline secured::LaunchOptions testOptions(const QString& journalFolder, int endedAtOnceMs,
                                          int holderLookMs = 100,
                                          const QString& helper = QStringLiteral(MV_LAUNCH_HELPER))
{
    secured::LaunchOptions options;
    options.journalFolder = journalFolder;
    options.start.helper = helper;
    options.start.scope = secured::ScopeUse::Never;
    options.endedAtOnceMs = endedAtOnceMs;
    options.holderLookMs = holderLookMs;
    return options;
}

// Waits for the helper of a start to end and collects it; false after `ms`.
inline bool waitHelper(const secured::StartOutcome& started, int ms)
{
    pollfd ended {started.pidfd.get(), POLLIN, 0};
    if (::poll(&ended, 1, ms) != 1)
        return false;
    ::waitpid(started.helperPid, nullptr, 0);
    return true;
}

// Runs the event loop until `done` holds or `ms` have passed; whether it holds.
inline bool waitUntil(const std::function<bool()>& done, int ms)
{
    return shell::test::runEventsUntil(done, ms);
}

} // namespace mv::launchtest
