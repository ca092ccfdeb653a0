// Stand-ins for the list jobs, so the run flow can be tested without the engine: a locked
// file lies under its encrypted name and holds "LOCKED <key>\n" before its text.
#pragma once

#include "crypto/EncryptedNames.h"
#include "crypto/SecretText.h"
#include "fileutil/FileResult.h"
#include "secured/Launch.h"

#include <QFile>
#include <QStringList>

namespace mv::launchtest {

inline QByteArray keyBytes(const crypto::SecretText& key)
{
    return QByteArray(key.data(), qsizetype(key.size()));
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
        locked.write("LOCKED " + keyBytes(key) + "\n" + plain.readAll());
        plain.remove();
    }
    return {};
}

// Decrypts each file of `files` that lies locked; returns the key that locked the last one.
inline crypto::SecretText unlockFiles(const QStringList& files)
{
    crypto::SecretText key;
    for (const QString& path : files) {
        QFile locked(crypto::EncryptedName(path));
        if (!locked.open(QIODevice::ReadOnly))
            continue;
        const QByteArray head = locked.readLine().trimmed();
        const QByteArray keyText = head.mid(7);
        key = crypto::SecretText::fromBytes(keyText.constData(), std::size_t(keyText.size()));
        QFile plain(path);
        if (plain.open(QIODevice::WriteOnly))
            plain.write(locked.readAll());
        locked.remove();
    }
    return key;
}

// The stand-in for a start's decryption: unlocks the files, and says which were locked.
inline secured::StartDecryption startDecryption(const QStringList& files)
{
    QStringList locked;
    for (const QString& file : files)
        if (QFile::exists(crypto::EncryptedName(file)))
            locked << file;
    return {unlockFiles(files), locked};
}

// The key a file is locked with; empty when it lies plain or not at all.
inline QByteArray lockedWith(const QString& path)
{
    QFile locked(crypto::EncryptedName(path));
    if (QFile::exists(path) || !locked.open(QIODevice::ReadOnly))
        return {};
    return locked.readLine().trimmed().mid(7);
}

} // namespace mv::launchtest
