#include "Commands.h"

#include "Cancel.h"
#include "TerminalProgress.h"

#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/FolderWalk.h"
#include "desktop/PlainTraces.h"
#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileutil/LeftoverNames.h"
#include "fileutil/NameText.h"
#include "fileutil/Wipe.h"

#include <mvengine/engine.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::cli {

using namespace mv::crypto;
using namespace mv::fileutil;

namespace {

void say(FILE* stream, const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// A name inside a line, with a line break or other control character in it written out.
QString shown(const QString& path)
{
    return printableName(path);
}

void failure(const QString& path, const QString& reason)
{
    say(stderr, QCoreApplication::translate("mv::cli", "mvcrypt: %1: %2").arg(shown(path), reason));
}

// Absolute, without resolving links: a link given by name is handled as the link. When the
// current folder's own name is not valid text, a relative path stays relative ("./name"), so
// that it is never turned into the name of another folder.
QString absolutePath(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    char here[PATH_MAX];
    if (!::getcwd(here, sizeof here) || !isRepresentable(QByteArray(here)))
        return QStringLiteral("./") + path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

QString systemText(int error)
{
    return QString::fromStdString(fileio::errorText(error));
}

// A name that is not valid text is never turned into another file's name: it is refused.
void refuseUndecodable(const QByteArray& nativeName)
{
    say(stderr, QCoreApplication::translate(
                    "mv::cli", "mvcrypt: %1: the name is not valid UTF-8 text, so it is left as it is; "
                               "rename it to work on it")
                    .arg(printableName(nativeName)));
}

// Names given that are not valid text are refused one by one; true when there were any.
bool refuseUnrepresentable(const CliOptions& options)
{
    for (const QByteArray& name : options.unrepresentable)
        refuseUndecodable(name);
    return !options.unrepresentable.isEmpty();
}

// Whether another run holds the file open and locked.
bool lockedByAnotherRun(const QString& path)
{
    fileio::UniqueFd fd(::open(QFile::encodeName(path).constData(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    return fd.valid() && !fileio::tryLock(fd.get()) && errno == EWOULDBLOCK;
}

// Thumbnails of a file no longer plain that stayed, each a failure: they show what it held.
bool tellTracesLeft(const QString& name, const QList<FileResult>& traces)
{
    for (const FileResult& trace : traces)
        failure(name, QCoreApplication::translate("mv::cli", "a thumbnail of it could not be wiped: %1")
                          .arg(resultText(trace)));
    return !traces.isEmpty();
}

class CryptRun {
public:
    CryptRun(const CliOptions& o, const QByteArray& key) : options_(o), keys_ {key}
    {
        struct stat st {};
        if (!o.keyFile.isEmpty() && ::stat(QFile::encodeName(o.keyFile).constData(), &st) == 0) {
            keyFile_ = st;
            haveKeyFile_ = true;
        }
    }

    int run()
    {
        failed_ = refuseUnrepresentable(options_);
        for (const QString& given : options_.paths) {
            if (stopRequested())
                break;
            runPath(absolutePath(given), given);
        }
        if (stopRequested()) {
            say(stderr, QCoreApplication::translate(
                            "mv::cli", "mvcrypt: stopped; the file in hand was finished or left as it was"));
            return kStoppedStatus;
        }
        return failed_ ? 1 : 0;
    }

private:
    bool encrypting() const { return options_.command == Command::Encrypt; }

    void runPath(const QString& path, const QString& given)
    {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink()) {
            if (!options_.recursive) {
                failFile(given,
                         QCoreApplication::translate("mv::cli", "is a folder; use -r to work through it"));
                return;
            }
            walkFolder(
                path, true, [this](const WalkEntry& e) { return visit(e); },
                [this](const QString& folder, int error) {
                    failFile(folder, QCoreApplication::translate("mv::cli", "cannot list this folder: %1")
                                         .arg(systemText(error)));
                });
            return;
        }
        if (isKeyFile(path)) {
            failFile(given, QCoreApplication::translate(
                                "mv::cli", "is the key file; it is left as it is, or the key would be "
                                           "locked inside"));
            return;
        }
        if (isLeftoverName(info.fileName())) {
            leftover(path, given);
            return;
        }
        runFile(path, given);
    }

    bool visit(const WalkEntry& e)
    {
        if (stopRequested())
            return false;
        switch (e.kind) {
        case WalkEntry::File:
            if (isKeyFile(e.path))
                passedOver(e.path, QCoreApplication::translate("mv::cli", "the key file is left as it is"));
            else
                runFile(e.path);
            break;
        case WalkEntry::Link:
            passedOver(e.path, QCoreApplication::translate("mv::cli", "symbolic link, not followed"));
            break;
        case WalkEntry::Other:
            passedOver(e.path, QCoreApplication::translate("mv::cli", "not a regular file"));
            break;
        case WalkEntry::Leftover: leftover(e.path, e.path); break;
        case WalkEntry::Unrepresentable:
            failed_ = true;
            refuseUndecodable(e.nativePath);
            break;
        }
        return !stopRequested();
    }

    bool isKeyFile(const QString& path) const
    {
        struct stat st {};
        return haveKeyFile_ && ::stat(QFile::encodeName(path).constData(), &st) == 0 &&
               fileio::sameFile(st, keyFile_);
    }

    // A temporary file of a run that was killed: named, never worked on.
    void leftover(const QString& path, const QString& given)
    {
        if (lockedByAnotherRun(path)) {
            passedOver(given, QCoreApplication::translate("mv::cli", "in use by another run"));
            return;
        }
        say(stderr, QCoreApplication::translate(
                        "mv::cli", "mvcrypt: %1: left over from an interrupted run and may hold private "
                                   "data; it is not %2. Remove it safely with: mvcrypt wipe '%3'")
                        .arg(shown(given),
                             encrypting() ? QCoreApplication::translate("mv::cli", "encrypted")
                                          : QCoreApplication::translate("mv::cli", "decrypted"),
                             shown(path)));
    }

    void runFile(const QString& path, const QString& given = {})
    {
        const QString name = given.isEmpty() ? path : given;
        TerminalProgress progress(name, quint64(QFileInfo(path).size()));
        const CryptProgress report = [&progress](quint64 done, quint64 total) {
            return progress.update(done, total) && !stopRequested();
        };
        CryptOptions crypt;
        crypt.replaceExisting = options_.replace;
        const CryptOutcome r = encrypting() ? encryptOne(path, keys_.first(), report, crypt)
                                            : decryptOne(path, keys_, report, crypt);
        switch (r.kind) {
        case CryptOutcome::Done:
            if (options_.verbose)
                say(stdout, QCoreApplication::translate("mv::cli", "%1 %2 -> %3")
                                .arg(encrypting() ? QCoreApplication::translate("mv::cli", "encrypted")
                                                  : QCoreApplication::translate("mv::cli", "decrypted"),
                                     shown(name), shown(QFileInfo(r.target).fileName())));
            failed_ = tellTracesLeft(name, r.tracesLeft) || failed_;
            break;
        case CryptOutcome::PassedOver:
            // A file that claims by its name to be encrypted but is not is damaged or not
            // ours: the user should hear of it.
            if (!encrypting() && HasEncryptedName(path))
                failFile(name, QCoreApplication::translate("mv::cli", "not an encrypted file"));
            else
                passedOver(name, reasonText(r.status));
            break;
        case CryptOutcome::InUse: passedOver(name, reasonText(r.status)); break;
        case CryptOutcome::TargetExists:
            failFile(name, reasonText(r.status) +
                               QCoreApplication::translate("mv::cli", "; use --replace to replace it"));
            break;
        case CryptOutcome::NoKeyFits:
        case CryptOutcome::Failed:
            if (stopRequested() && r.status.reason == "cancelled")
                break; // the stop is reported once, at the end
            failFile(name, reasonText(r.status));
            break;
        }
    }

    void passedOver(const QString& path, const QString& reason)
    {
        say(stderr,
            QCoreApplication::translate("mv::cli", "mvcrypt: %1: passed over, %2").arg(shown(path), reason));
    }
    void failFile(const QString& path, const QString& reason)
    {
        failed_ = true;
        failure(path, reason);
    }

    const CliOptions& options_;
    QList<QByteArray> keys_;
    struct stat keyFile_ {};
    bool haveKeyFile_ = false;
    bool failed_ = false;
};

// The CRC of one regular file; special files are refused before a byte is read, so a fifo
// without a writer cannot hang us and a device cannot pass for an empty file.
bool checksumOne(const QString& given)
{
    fileio::UniqueFd fd(
        ::open(QFile::encodeName(given).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) < 0) {
        failure(given, systemText(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        failure(given, S_ISDIR(st.st_mode) ? QCoreApplication::translate("mv::cli", "is a folder")
                                           : QCoreApplication::translate("mv::cli", "not a regular file"));
        return false;
    }
    uint32_t crc = 0;
    if (mv_checksum_fd(fd.get(), &crc) != 1) {
        failure(given, QString::fromUtf8(mv_engine_last_error()));
        return false;
    }
    say(stdout,
        QCoreApplication::translate("mv::cli", "%1  %2").arg(crc, 8, 16, QLatin1Char('0')).arg(shown(given)));
    return true;
}

} // namespace

int runCrypt(const CliOptions& options, const QByteArray& key)
{
    catchStopSignals();
    return CryptRun(options, key).run();
}

int runChecksum(const CliOptions& options)
{
    bool failed = refuseUnrepresentable(options);
    for (const QString& given : options.paths)
        failed = !checksumOne(given) || failed;
    return failed ? 1 : 0;
}

int runWipe(const CliOptions& options)
{
    bool failed = refuseUnrepresentable(options);
    for (const QString& given : options.paths) {
        QList<FileResult> traces;
        const FileResult r = desktop::wipeWithTraces(absolutePath(given), &traces);
        if (!r.ok) {
            failure(given, resultText(r));
            failed = true;
        } else if (options.verbose) {
            say(stdout, QCoreApplication::translate("mv::cli", "wiped %1").arg(given));
        }
        failed = tellTracesLeft(given, traces) || failed;
    }
    return failed ? 1 : 0;
}

} // namespace mv::cli
