// Files written for the viewing tests (noise pictures, plain or encrypted), a wait for the
// workers, and a search for plain bytes left in files.
#pragma once

#include "crypto/FileCrypt.h"
#include "support/NoisePicture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace mvtest {

using mv::test::noisePng;

// Runs the event loop until done() holds, a minute at most; whether it holds.
template <typename Done>
bool waitFor(Done done)
{
    const QDeadlineTimer deadline(60000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

inline QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

// Writes bytes under name and encrypts them with key; returns the encrypted file's path.
inline QString writeEncrypted(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes,
                              const QByteArray& key)
{
    const mv::crypto::CryptOutcome sealed = mv::crypto::encryptOne(writeBytes(dir, name, bytes), key);
    return sealed.kind == mv::crypto::CryptOutcome::Done ? sealed.target : QString();
}

// Every file below `folder` changed since `since` (up to 64 MiB) that holds `needle`.
inline QStringList filesHolding(const QString& folder, const QByteArray& needle, const QDateTime& since = {})
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().lastModified() < since || it.fileInfo().size() > (qint64(64) << 20))
            continue;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(needle))
            found << path;
    }
    return found;
}

} // namespace mvtest
