// Pictures written for the viewing tests: noise, so no two are alike and their bytes are
// easy to find in any file they might leak into.
#pragma once

#include "crypto/FileCrypt.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace mvtest {

inline QByteArray noisePng(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
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

} // namespace mvtest
