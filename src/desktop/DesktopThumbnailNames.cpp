#include "desktop/DesktopThumbnailNames.h"

#include "fileutil/NameText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mv::desktop {

QString desktopThumbnailRoot()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/thumbnails");
}

QByteArray glibFileUri(const QString& path)
{
    static const QByteArray safe("!$&'()*+,-./:=@_~");
    QByteArray uri("file://");
    for (const char c : fileutil::nativeName(QFileInfo(path).absoluteFilePath())) {
        const uchar u = uchar(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || safe.contains(c))
            uri += c;
        else
            uri += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
    }
    return uri;
}

QString thumbnailFileName(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

} // namespace mv::desktop
