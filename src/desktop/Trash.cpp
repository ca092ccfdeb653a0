#include "desktop/Trash.h"

#include "desktop/TrashInfo.h"
#include "fileutil/WholeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::desktop {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::fileutil", text);
}

fileutil::FileResult failed(const QString& reason, int error = 0)
{
    return fileutil::failureOf(tr("move to the trash"), reason, error);
}

// Makes each missing folder of the full path `folder`, private to the user.
fileutil::FileResult makePrivateFolders(const QString& folder)
{
    QString sofar;
    for (const QString& part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        sofar += QLatin1Char('/') + part;
        if (::mkdir(fileutil::nativePath(sofar).c_str(), 0700) != 0 && errno != EEXIST)
            return failed(tr("the folder %1 for the trash can't be made: %2")
                              .arg(sofar, QString::fromStdString(fileio::errorText(errno))),
                          errno);
    }
    if (!QFileInfo(folder).isDir())
        return failed(tr("the trash folder %1 is not a folder").arg(folder));
    return fileutil::FileResult::success();
}

bool samePlace(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// The trash folders a file from `folder` may rightly go to: the home trash, or its disk's own.
bool isTrashFor(const QString& trash, const QString& folder, bool* home)
{
    *home = samePlace(trash, homeTrash());
    if (*home)
        return true;
    const QString top = QStorageInfo(folder).rootPath();
    if (top.isEmpty())
        return false;
    const QString uid = QString::number(::getuid());
    return samePlace(trash, QDir(top).filePath(QStringLiteral(".Trash-") + uid)) ||
           samePlace(trash, QDir(top).filePath(QStringLiteral(".Trash/") + uid));
}

// Puts a file that went astray back under its own name, never over another file.
bool putBack(const QString& from, const QString& to)
{
    const std::string f = fileutil::nativePath(from);
    const std::string t = fileutil::nativePath(to);
    if (::renameat2(AT_FDCWD, f.c_str(), AT_FDCWD, t.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    return ::link(f.c_str(), t.c_str()) == 0 && ::unlink(f.c_str()) == 0;
}

// Writes the ".trashinfo" again, percent-encoded, keeping the date Qt gave it.
fileutil::FileResult mendInfo(const QString& infoFile, const QByteArray& originalPath)
{
    QByteArray old;
    if (auto r = fileutil::readWholeFile(infoFile, &old); !r)
        return r;
    TrashInfo info;
    info.path = originalPath;
    if (auto parsed = parseTrashInfo(old))
        info.deletionDate = parsed->deletionDate;
    if (info.deletionDate.isEmpty())
        info.deletionDate = QDateTime::currentDateTime().toString(Qt::ISODate);
    bool changed = false;
    return fileutil::replaceWholeFileIfDifferent(infoFile, trashInfoText(info), &changed);
}

} // namespace

QString homeTrash()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
}

TrashOutcome moveToTrash(const QString& path)
{
    TrashOutcome out;
    const QFileInfo source(path);
    const QString original = source.absoluteFilePath();
    const QString folder = source.absolutePath();
    if (!source.exists() && !source.isSymLink()) {
        out.status = failed(tr("the file is no longer there"), ENOENT);
        return out;
    }
    const QString home = homeTrash();
    if (!QDir::isAbsolutePath(home)) {
        out.status = failed(tr("the desktop's data folder is not a full path"));
        return out;
    }
    for (const char* sub : {"/files", "/info"}) {
        if (auto r = makePrivateFolders(home + QLatin1String(sub)); !r) {
            out.status = r;
            return out;
        }
    }

    QFile file(original);
    if (!file.moveToTrash()) {
        out.status = QFileInfo::exists(original) || QFileInfo(original).isSymLink()
                         ? failed(file.errorString())
                         : failed(tr("the file is no longer there"), ENOENT);
        return out;
    }

    // Check where it went: inside "files" of a trash folder meant for it, and nowhere else.
    const QFileInfo moved(file.fileName());
    const QString trash = QFileInfo(moved.absolutePath()).absolutePath();
    const QString info = trash + QStringLiteral("/info/") + moved.fileName() + QStringLiteral(".trashinfo");
    bool inHomeTrash = false;
    if (QFileInfo(moved.absolutePath()).fileName() != QLatin1String("files") ||
        !isTrashFor(trash, folder, &inHomeTrash)) {
        if (putBack(moved.absoluteFilePath(), original)) {
            QFile::remove(info);
            out.status = failed(tr("no trash folder could be used; the file was left where it was"));
        } else {
            out.status = failed(tr("it went to %1 instead of a trash folder").arg(moved.absoluteFilePath()));
            out.status.leftover = fileutil::nativePath(moved.absoluteFilePath());
        }
        return out;
    }
    out.trashedAs = moved.absoluteFilePath();
    out.infoFile = info;

    // The home trash names the full path; a disk's own trash the path below the disk's top,
    // so that the disk's trash still works when it is mounted elsewhere.
    QByteArray where = QFile::encodeName(original);
    if (!inHomeTrash) {
        const QByteArray top = QFile::encodeName(QDir(QStorageInfo(folder).rootPath()).absolutePath());
        if (top != "/" && where.startsWith(top + '/'))
            where = where.mid(top.size() + 1);
    }
    if (auto r = mendInfo(info, where); !r) {
        // The file is safe in the trash; only the way back may not work from the desktop.
        out.status.note = r.message();
    }
    return out;
}

} // namespace mv::desktop
