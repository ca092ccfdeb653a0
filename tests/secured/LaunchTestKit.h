// Small real programs for the launch tests: shell scripts written into a temporary folder. And
// stand-ins for the list jobs, so the run flow can be tested without the engine: a locked file
// lies under its encrypted name and holds "LOCKED <key>\n" before its text; a launch over them
// counts what it was asked to do.
#pragma once

#include "crypto/EncryptedNames.h"
#include "crypto/SecretText.h"
#include "fileutil/FileResult.h"
#include "fileutil/TestFiles.h"
#include "secured/Launch.h"
#include "secured/ProgramStart.h"
#include "shell/EventWait.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

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

// Encrypts each plain file of `files` with `key`.
inline fileutil::FileResult lockFiles(const QStringList& files, const crypto::SecretText& key)
{
    for (const QString& path : files) {
        QFile plain(path);
        if (!plain.open(QIODevice::ReadOnly))
            continue;
        QFile locked(crypto::EncryptedName(path));
        if (!locked.open(QIODevice::WriteOnly))
            return fileutil::failureOf(QStringLiteral("encrypt"), locked.errorString());
        locked.write("LOCKED " + QByteArray(key.data(), qsizetype(key.size())) + "\n" + plain.readAll());
        plain.remove();
    }
    return {};
}

// The stand-in for a start's decryption: unlocks the files, and says which were locked and
// the key that locked the last one.
inline secured::StartDecryption startDecryption(const QStringList& files)
{
    crypto::SecretText key;
    QStringList wasLocked;
    for (const QString& path : files) {
        QFile locked(crypto::EncryptedName(path));
        if (!locked.open(QIODevice::ReadOnly))
            continue;
        wasLocked << path;
        const QByteArray keyText = locked.readLine().trimmed().mid(7);
        key = crypto::SecretText::fromBytes(keyText.constData(), std::size_t(keyText.size()));
        QFile plain(path);
        if (plain.open(QIODevice::WriteOnly))
            plain.write(locked.readAll());
        locked.remove();
    }
    return {key, wasLocked};
}

// The key a file is locked with; empty when it lies plain or not at all.
inline QByteArray lockedWith(const QString& path)
{
    QFile locked(crypto::EncryptedName(path));
    if (QFile::exists(path) || !locked.open(QIODevice::ReadOnly))
        return {};
    return locked.readLine().trimmed().mid(7);
}

// `count` plain files "<stem>-<i>.txt" with words of their own, locked with `key`.
inline QStringList lockedFiles(const QTemporaryDir& dir, const QString& stem, const char* key, int count = 2)
{
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << dir.filePath(QStringLiteral("%1-%2.txt").arg(stem).arg(i));
        if (!writeAll(files.back(), "words of " + files.back().toUtf8()))
            return {};
    }
    return lockFiles(files, crypto::SecretText::fromText(QString::fromLatin1(key))).ok ? files
                                                                                       : QStringList();
}

inline bool allPlain(const QStringList& files)
{
    return std::all_of(files.begin(), files.end(), [](const QString& f) { return QFile::exists(f); });
}

// A launch with the stand-in jobs, counting what they were asked to do.
struct Launched {
    secured::LaunchEntry entry;
    std::unique_ptr<secured::Launch> launch;
    bool started = false;
    bool plainWhileRunning = false;
    std::optional<secured::LaunchEnd> end;
    int decrypts = 0;
    int encrypts = 0;
    bool encryptFails = false;
    int endedAtOnceQuestions = 0;
    bool encryptEndedAtOnce = true;
    QStringList editorCopiesOffered;
    QStringList waits;
    std::function<void()> duringEncrypt;

    Launched(secured::LaunchGate& gate, int n, const char* title, const QString& program,
             const QStringList& plainFiles, const secured::LaunchOptions& options, const QString& params = {})
        : entry {n, QString::fromLatin1(title), program, params, plainFiles}
    {
        secured::LaunchHooks hooks;
        hooks.decrypt = [this](const QStringList& files) {
            ++decrypts;
            return startDecryption(files);
        };
        hooks.encrypt = [this](const QStringList& files, const crypto::SecretText& key) {
            ++encrypts;
            if (duringEncrypt)
                duringEncrypt();
            return encryptFails
                       ? fileutil::failureOf(QStringLiteral("encrypt"), QStringLiteral("the disk is full"))
                       : lockFiles(files, key);
        };
        hooks.confirmEndedAtOnce = [this] {
            ++endedAtOnceQuestions;
            return encryptEndedAtOnce;
        };
        hooks.confirmWipeEditorCopies = [this](const QStringList& copies) {
            editorCopiesOffered = copies;
            return true;
        };
        launch = std::make_unique<secured::Launch>(entry, hooks, gate, options);
        QObject::connect(launch.get(), &secured::Launch::started, [this] {
            started = true;
            plainWhileRunning = allPlain(entry.files);
        });
        QObject::connect(launch.get(), &secured::Launch::waiting,
                         [this](const QString& text) { waits << text; });
        QObject::connect(launch.get(), &secured::Launch::finished,
                         [this](const secured::LaunchEnd& ended) { end = ended; });
    }
};

} // namespace mv::launchtest
