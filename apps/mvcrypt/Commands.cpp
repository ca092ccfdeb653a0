#include "Commands.h"

#include "TerminalProgress.h"

#include "crypto/FileCrypt.h"
#include "crypto/FolderWalk.h"
#include "fileutil/Wipe.h"

#include <mvengine/engine.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace mv::cli {

namespace {

void say(FILE* stream, const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

void failure(const QString& path, const QString& reason)
{
    say(stderr, QStringLiteral("mvcrypt: %1: %2").arg(path, reason));
}

// Absolute, without resolving links: a link given by name is handled as the link.
QString absolutePath(const QString& path)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

class CryptRun {
public:
    CryptRun(const CliOptions& o, const QByteArray& key) : options_(o), keys_{key} {}

    int run()
    {
        for (const QString& given : options_.paths)
            runPath(absolutePath(given), given);
        return failed_ ? 1 : 0;
    }

private:
    bool encrypting() const { return options_.command == Command::Encrypt; }

    void runPath(const QString& path, const QString& shown)
    {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink()) {
            if (!options_.recursive) {
                failFile(shown, QStringLiteral("is a folder; use -r to work through it"));
                return;
            }
            walkFolder(
                path, true,
                [this](const WalkEntry& e) {
                    if (e.kind == WalkEntry::File)
                        runFile(e.path);
                    else
                        passedOver(e.path, e.kind == WalkEntry::Link ? QStringLiteral("symbolic link, not followed")
                                                                     : QStringLiteral("not a regular file"));
                    return true;
                },
                [this](const QString& folder) { failFile(folder, QStringLiteral("cannot list this folder")); });
            return;
        }
        runFile(path, shown);
    }

    void runFile(const QString& path, const QString& shown = {})
    {
        const QString name = shown.isEmpty() ? path : shown;
        TerminalProgress progress(name, quint64(QFileInfo(path).size()));
        const CryptProgress report = [&progress](quint64 done, quint64 total) {
            return progress.update(done, total);
        };
        const CryptOutcome r = encrypting() ? encryptOne(path, keys_.first(), report)
                                            : decryptOne(path, keys_, report);
        switch (r.kind) {
        case CryptOutcome::Done:
            if (options_.verbose)
                say(stdout, QStringLiteral("%1 %2 -> %3")
                                .arg(encrypting() ? QStringLiteral("encrypted") : QStringLiteral("decrypted"),
                                     name, QFileInfo(r.target).fileName()));
            break;
        case CryptOutcome::PassedOver:
            passedOver(name, r.reason);
            break;
        case CryptOutcome::Failed:
            failFile(name, r.reason);
            break;
        }
    }

    void passedOver(const QString& path, const QString& reason)
    {
        say(stderr, QStringLiteral("mvcrypt: %1: passed over, %2").arg(path, reason));
    }
    void failFile(const QString& path, const QString& reason)
    {
        failed_ = true;
        failure(path, reason);
    }

    const CliOptions& options_;
    QList<QByteArray> keys_;
    bool failed_ = false;
};

} // namespace

int runCrypt(const CliOptions& options, const QByteArray& key)
{
    return CryptRun(options, key).run();
}

int runChecksum(const CliOptions& options)
{
    bool failed = false;
    for (const QString& given : options.paths) {
        const QFileInfo info(given);
        QFile file(given);
        if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
            failure(given, info.isDir() ? QStringLiteral("is a folder") : file.errorString());
            failed = true;
            continue;
        }
        file.close();
        const auto crc = quint32(eaac(QFile::encodeName(given).constData(), 0));
        say(stdout, QStringLiteral("%1  %2").arg(crc, 8, 16, QLatin1Char('0')).arg(given));
    }
    return failed ? 1 : 0;
}

int runWipe(const CliOptions& options)
{
    bool failed = false;
    for (const QString& given : options.paths) {
        const FileResult r = WipeFile(absolutePath(given));
        if (!r.ok) {
            failure(given, r.message());
            failed = true;
        } else if (options.verbose) {
            say(stdout, QStringLiteral("wiped %1").arg(given));
        }
    }
    return failed ? 1 : 0;
}

} // namespace mv::cli
