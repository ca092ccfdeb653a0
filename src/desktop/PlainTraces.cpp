#include "desktop/PlainTraces.h"

#include "desktop/DesktopThumbnailNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <sys/stat.h>

namespace mv::desktop {

namespace {

// A regular file or a symbolic link under `path`: a link planted in the cache is wiped as a
// link, never followed.
bool isThere(const QString& path)
{
    struct stat st {};
    return ::lstat(fileutil::nativePath(path).c_str(), &st) == 0 &&
           (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

QString md5Name(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

// The folders that hold thumbnails: each size, and each program's folder under "fail".
QStringList thumbnailFolders()
{
    QStringList folders;
    for (const QString& root : {desktopThumbnailRoot(), QDir::homePath() + QStringLiteral("/.thumbnails")}) {
        const QStringList sizes = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& size : sizes) {
            if (size != QStringLiteral("fail")) {
                folders << root + u'/' + size;
                continue;
            }
            const QStringList programs =
                QDir(root + QStringLiteral("/fail")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            for (const QString& program : programs)
                folders << root + QStringLiteral("/fail/") + program;
        }
    }
    return folders;
}

} // namespace

QStringList thumbnailsOf(const QStringList& files)
{
    QSet<QString> names;
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        names.insert(md5Name(glibFileUri(path)));
        names.insert(md5Name(QUrl::fromLocalFile(path).toEncoded()));
    }
    QStringList found;
    for (const QString& folder : thumbnailFolders()) {
        for (const QString& name : names) {
            const QString path = folder + u'/' + name;
            if (isThere(path))
                found << path;
        }
    }
    found.sort();
    return found;
}

fileutil::WipeReport forgetPlainTraces(const QStringList& files)
{
    return fileutil::wipeAll(thumbnailsOf(files));
}

} // namespace mv::desktop
