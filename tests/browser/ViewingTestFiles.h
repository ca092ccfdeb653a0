// Files written for the viewing tests (noise pictures, plain or encrypted), and a wait for
// the workers.
#pragma once

#include "crypto/FileCrypt.h"
#include "support/NoisePicture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
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

} // namespace mvtest
