#include "desktop/PlainTraces.h"

#include "desktop/DesktopThumbnailNames.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

namespace mv::desktop {

namespace {

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
        names.insert(thumbnailFileName(glibFileUri(path)));
        names.insert(thumbnailFileName(QUrl::fromLocalFile(path).toEncoded()));
    }
    QStringList found;
    for (const QString& folder : thumbnailFolders()) {
        for (const QString& name : names) {
            const QString path = folder + u'/' + name;
            // A link planted in the cache is wiped as a link, never followed.
            if (fileutil::isFileOrLink(path))
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

fileutil::FileResult wipeWithTraces(const QString& path, QList<fileutil::FileResult>* tracesLeft)
{
    // The thumbnails' names come from the absolute path, which the wipe's rename makes
    // meaningless: it is taken first.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const fileutil::FileResult wiped = fileutil::WipeFile(path);
    if (wiped.ok) {
        const fileutil::WipeReport traces = forgetPlainTraces({absolute});
        if (tracesLeft)
            *tracesLeft << traces.failures;
    }
    return wiped;
}

} // namespace mv::desktop
