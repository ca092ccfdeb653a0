// Thumbnails of a file as desktops leave them: every size folder, a program's "fail" folder
// and the old ~/.thumbnails, each named for the MD5 of the file's URI. For tests of the places
// that must take them away with the file, and leave other files' alone.
#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace mvtest {

// The name a desktop gives the thumbnails of the file at `uri`.
inline QString thumbnailName(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + ".png";
}

// Plants them for `file` (a name with no character a URI escapes) and returns their paths.
inline QStringList plantThumbnails(const QString& file)
{
    const QString name = thumbnailName("file://" + QFile::encodeName(QFileInfo(file).absoluteFilePath()));
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + "/thumbnails/";
    QStringList paths;
    for (const QString& folder :
         {cache + "normal", cache + "large", cache + "x-large", cache + "xx-large",
          cache + "fail/gnome-thumbnail-factory", QDir::homePath() + "/.thumbnails/normal"})
        paths << folder + '/' + name;
    for (const QString& path : paths) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile png(path);
        if (png.open(QIODevice::WriteOnly))
            png.write("\x89PNG\r\n\x1a\n the plain picture's small copy");
    }
    return paths;
}

// Those of `paths` still there.
inline QStringList stillThere(const QStringList& paths)
{
    QStringList there;
    for (const QString& path : paths)
        if (QFileInfo::exists(path))
            there << path;
    return there;
}

} // namespace mvtest
