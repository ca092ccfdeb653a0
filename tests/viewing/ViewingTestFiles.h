// Files written for the viewing tests (noise or flat pictures, plain or encrypted), a wait for
// the workers, the files below a folder, and a search for plain bytes left in files.
#pragma once

#include "crypto/FileCrypt.h"
#include "shell/EventWait.h"
#include "support/NoisePicture.h"

#include <QBuffer>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace mvtest {

using mv::test::noisePng;

// Runs the event loop until done() holds, a minute at most; whether it holds.
inline bool waitFor(const std::function<bool()>& done)
{
    return mv::shell::test::runEventsUntil(done, 60000);
}

// A picture of one colour, and a picture's file in a format ("PNG", "JPG", ...).
inline QImage flat(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}
inline QByteArray bytesOf(const QImage& image, const char* format = "PNG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
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

// Every file below `root`, sorted.
inline QStringList filesUnder(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
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
