#include "secured/EditorCopies.h"

#include "browser/DesktopThumbnailNames.h"
#include "fileutil/Wipe.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <sys/stat.h>

namespace mv::secured {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::secured", text);
}

// A regular file or a symbolic link (emacs makes its lock as a dangling link) under `path`.
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
    for (const QString& root :
         {browser::desktopThumbnailRoot(), QDir::homePath() + QStringLiteral("/.thumbnails")}) {
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

QStringList findEditorCopies(const QStringList& files)
{
    QSet<QString> listed;
    for (const QString& file : files)
        listed.insert(QDir::cleanPath(file));
    QSet<QString> found;
    for (const QString& file : files) {
        const QFileInfo info(file);
        const QString folder = info.absolutePath() + u'/';
        const QString name = info.fileName();
        const QString base = info.completeBaseName();
        QStringList candidates {name + u'~',
                                u'.' + name + QStringLiteral(".swp"),
                                u'.' + name + QStringLiteral(".swo"),
                                u'.' + name + QStringLiteral(".swn"),
                                u'#' + name + u'#',
                                QStringLiteral(".#") + name,
                                u'.' + name + QStringLiteral(".kate-swp"),
                                QStringLiteral(".~lock.") + name + u'#',
                                name + QStringLiteral(".bak")};
        if (!info.suffix().isEmpty())
            candidates << base + QStringLiteral(".bak");
        // Numbered backups: "name.~1~", "name.~12~" ...
        const QRegularExpression numbered(u'^' + QRegularExpression::escape(name) +
                                          QStringLiteral("\\.~[0-9]+~$"));
        const QStringList near = QDir(folder).entryList({name + QStringLiteral(".~*~")},
                                                        QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& entry : near) {
            if (numbered.match(entry).hasMatch())
                candidates << entry;
        }
        for (const QString& candidate : candidates) {
            const QString path = folder + candidate;
            if (!listed.contains(QDir::cleanPath(path)) && isThere(path))
                found.insert(path);
        }
    }
    QStringList sorted(found.begin(), found.end());
    sorted.sort();
    return sorted;
}

QStringList thumbnailsOf(const QStringList& files)
{
    QSet<QString> names;
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        names.insert(md5Name(browser::glibFileUri(path)));
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

WipeReport wipeAll(const QStringList& paths)
{
    WipeReport report;
    for (const QString& path : paths) {
        const fileutil::FileResult result = fileutil::WipeFile(path);
        if (result.ok)
            report.wiped << path;
        else
            report.failures << result.within(fileutil::nativePath(path));
    }
    return report;
}

QString editorCopiesQuestion(const QStringList& copies)
{
    return tr("An editor left these plain copies beside the files:") + u'\n' + copies.join(u'\n') + u'\n' +
           tr("Wipe them now?");
}

} // namespace mv::secured
