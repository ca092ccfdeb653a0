#include "desktop/Trash.h"

#include "desktop/TrashInfo.h"
#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileutil/NameText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::desktop {

namespace {

// A trashed name and its ".trashinfo" must each fit the file system's limit on a name.
constexpr qsizetype kNameMax = 255;
constexpr char kInfoSuffix[] = ".trashinfo";
// Names tried before the trash is taken to be unusable: a full trash gets numbers 2, 3, ...
constexpr int kNameTries = 1000;

fileutil::FileResult failed(const QString& reason, int error = 0)
{
    return fileutil::failureOf(QCoreApplication::translate("mv::fileutil", "move to the trash"), reason,
                               error);
}

QString systemText(int error)
{
    return QString::fromStdString(fileio::errorText(error));
}

// Makes each missing folder of the full path `folder`, private to the user.
fileutil::FileResult makePrivateFolders(const QString& folder)
{
    QString sofar;
    for (const QString& part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        sofar += QLatin1Char('/') + part;
        if (::mkdir(fileutil::nativePath(sofar).c_str(), 0700) != 0 && errno != EEXIST)
            return failed(
                QCoreApplication::translate("mv::fileutil", "the folder %1 for the trash can't be made: %2")
                    .arg(sofar, systemText(errno)),
                errno);
    }
    struct stat st {};
    if (::lstat(fileutil::nativePath(folder).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return failed(
            QCoreApplication::translate("mv::fileutil", "the trash folder %1 is not a folder").arg(folder));
    return fileutil::FileResult::success();
}

// A disk's shared ".Trash" may be used only when it is a real folder with the sticky bit,
// so that nobody else can take our files out of it.
bool sharedTrashUsable(const QString& top)
{
    struct stat st {};
    return ::lstat(fileutil::nativePath(top + QStringLiteral("/.Trash")).c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX);
}

struct TrashPlace {
    QString folder;    // holds "files" and "info"
    QByteArray prefix; // what a ".trashinfo" path leaves out: empty for a full path
};

// The trash a file in `folder`, on the device `device`, goes to: the home trash on the home's
// own disk, else the disk's shared ".Trash/<uid>" or its own ".Trash-<uid>".
std::optional<TrashPlace> trashFor(const QString& folder, dev_t device, fileutil::FileResult* why)
{
    const QString home = homeTrash();
    if (!QDir::isAbsolutePath(home)) {
        *why = failed(
            QCoreApplication::translate("mv::fileutil", "the desktop's data folder is not a full path"));
        return std::nullopt;
    }
    // Made first: where the data folder is missing, there would be nothing to compare with.
    for (const char* sub : {"/files", "/info"}) {
        if (auto r = makePrivateFolders(home + QLatin1String(sub)); !r) {
            *why = r;
            return std::nullopt;
        }
    }
    struct stat st {};
    if (::stat(fileutil::nativePath(home).c_str(), &st) == 0 && st.st_dev == device)
        return TrashPlace {home, {}};

    const QString top = QDir(QStorageInfo(folder).rootPath()).absolutePath();
    const QString uid = QString::number(::getuid());
    QStringList candidates;
    if (sharedTrashUsable(top))
        candidates << top + QStringLiteral("/.Trash/") + uid;
    candidates << top + QStringLiteral("/.Trash-") + uid;
    for (const QString& trash : candidates) {
        bool made = true;
        for (const char* sub : {"/files", "/info"})
            made = made && makePrivateFolders(trash + QLatin1String(sub));
        if (made && ::stat(fileutil::nativePath(trash).c_str(), &st) == 0 && st.st_dev == device)
            return TrashPlace {trash,
                               top == QLatin1String("/") ? QByteArray() : QFile::encodeName(top) + '/'};
    }
    *why = failed(QCoreApplication::translate(
                      "mv::fileutil",
                      "the disk it is on (%1) has no trash that can be used here; the file was left where it "
                      "was")
                      .arg(top));
    return std::nullopt;
}

// The `n`th name to try in the trash for `name` (bytes): the name itself first, then with a
// number before its extension. A name too long to take ".trashinfo" is cut, at a character.
QByteArray trashedName(const QByteArray& name, int n)
{
    // A short extension, which tells the desktop the type, is kept; a long one is part of the name.
    const qsizetype dot = name.lastIndexOf('.');
    const bool keepExtension = dot > 0 && name.size() - dot <= 16;
    QByteArray stem = keepExtension ? name.left(dot) : name;
    const QByteArray extension = keepExtension ? name.mid(dot) : QByteArray();
    const QByteArray number = n == 0 ? QByteArray() : '.' + QByteArray::number(n + 1);
    const qsizetype room = kNameMax - qsizetype(sizeof kInfoSuffix - 1) - number.size() - extension.size();
    if (stem.size() > room) {
        qsizetype cut = room;
        while (cut > 0 && (uchar(stem[cut]) & 0xc0) == 0x80) // not inside a UTF-8 character
            --cut;
        stem.truncate(cut);
    }
    return stem + number + extension;
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
    const QByteArray nativeOriginal = fileutil::nativeName(original);
    // The entry itself, a link as a link (a dangling one too).
    struct stat st {};
    if (::lstat(nativeOriginal.constData(), &st) != 0) {
        out.status =
            errno == ENOENT
                ? failed(QCoreApplication::translate("mv::fileutil", "the file is no longer there"), ENOENT)
                : failed(systemText(errno), errno);
        return out;
    }
    const auto place = trashFor(source.absolutePath(), st.st_dev, &out.status);
    if (!place)
        return out;

    TrashInfo info;
    info.path = place->prefix.isEmpty() ? nativeOriginal : nativeOriginal.mid(place->prefix.size());
    info.deletionDate = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
    const QByteArray text = trashInfoText(info);
    const QByteArray name = fileutil::nativeName(source.fileName());
    const QByteArray files = QFile::encodeName(place->folder) + "/files/";
    const QByteArray infos = QFile::encodeName(place->folder) + "/info/";
    for (int n = 0; n < kNameTries; ++n) {
        const QByteArray trashed = trashedName(name, n);
        // The ".trashinfo" claims the name: whoever makes it first owns it.
        const QByteArray infoPath = infos + trashed + kInfoSuffix;
        fileio::UniqueFd fd(::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            if (errno == EEXIST)
                continue;
            out.status = failed(
                QCoreApplication::translate("mv::fileutil", "the trash's information can't be written: %1")
                    .arg(systemText(errno)),
                errno);
            return out;
        }
        if (!fileio::writeFull(fd.get(), text.constData(), size_t(text.size())) || ::fsync(fd.get()) != 0) {
            const int error = errno;
            ::unlink(infoPath.constData());
            out.status = failed(
                QCoreApplication::translate("mv::fileutil", "the trash's information can't be written: %1")
                    .arg(systemText(error)),
                error);
            return out;
        }
        fd.reset();
        const QByteArray target = files + trashed;
        if (::renameat2(AT_FDCWD, nativeOriginal.constData(), AT_FDCWD, target.constData(),
                        RENAME_NOREPLACE) == 0) {
            out.trashedAs = fileutil::nameFromNative(target);
            out.infoFile = fileutil::nameFromNative(infoPath);
            return out;
        }
        const int error = errno;
        ::unlink(infoPath.constData());
        if (error == EEXIST)
            continue;
        out.status =
            error == ENOENT
                ? failed(QCoreApplication::translate("mv::fileutil", "the file is no longer there"), ENOENT)
            : error == EXDEV
                ? failed(QCoreApplication::translate(
                             "mv::fileutil", "the trash is on another disk; the file was left where it was"),
                         error)
                : failed(systemText(error), error);
        return out;
    }
    out.status = failed(
        QCoreApplication::translate(
            "mv::fileutil", "the trash holds too many files of this name; the file was left where it was"),
        EEXIST);
    return out;
}

} // namespace mv::desktop
