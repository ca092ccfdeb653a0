#include "fileutil/WholeFile.h"

#include "fileio/DurableOutput.h"
#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"

#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::fileutil {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::fileutil", text);
}

FileResult makeFolders(const QString& folder)
{
    QString sofar;
    for (const QString& part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        sofar += QLatin1Char('/') + part;
        if (::mkdir(nativePath(sofar).c_str(), 0700) != 0 && errno != EEXIST)
            return FileResult::failure(tr("make folder %1").arg(sofar).toStdString(), errno);
    }
    return FileResult::success();
}

} // namespace

FileResult readWholeFile(const QString& path, QByteArray* bytes)
{
    bytes->clear();
    fileio::UniqueFd fd(::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        if (errno == ENOENT)
            return FileResult::success();
        return FileResult::failure(tr("open %1").arg(path).toStdString(), errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return failureOf(tr("read %1").arg(path), tr("not a regular file"));
    char buf[16384];
    for (;;) {
        const ssize_t n = fileio::readFull(fd.get(), buf, sizeof buf);
        if (n < 0)
            return FileResult::failure(tr("read %1").arg(path).toStdString(), errno);
        bytes->append(buf, n);
        if (size_t(n) < sizeof buf)
            return FileResult::success();
    }
}

FileResult replaceWholeFile(const QString& path, const QByteArray& bytes, mode_t newMode)
{
    const QFileInfo link(path);
    const QString target = link.isSymLink() ? link.symLinkTarget() : QFileInfo(path).absoluteFilePath();
    mode_t mode = newMode;
    struct stat st {};
    if (::stat(nativePath(target).c_str(), &st) == 0)
        mode = st.st_mode & 07777;

    const QString folder = QFileInfo(target).absolutePath();
    if (FileResult r = makeFolders(folder); !r)
        return r;
    fileio::DurableOutput out;
    FileResult r = out.create(nativePath(folder), mode, /*clearOnDiscard=*/false);
    // The process's umask would otherwise narrow the bits the file had.
    if (r && ::fchmod(out.fd(), mode) != 0)
        r = FileResult::failure(tr("set the permissions of %1").arg(target).toStdString(), errno);
    if (r && !fileio::writeFull(out.fd(), bytes.constData(), size_t(bytes.size())))
        r = FileResult::failure(tr("write %1").arg(target).toStdString(), errno);
    if (r)
        r = out.commit(nativePath(target), fileio::Existing::Replace);
    return r;
}

FileResult replaceWholeFileIfDifferent(const QString& path, const QByteArray& bytes, bool* changed)
{
    *changed = false;
    QByteArray old;
    if (readWholeFile(path, &old) && old == bytes && QFileInfo::exists(path))
        return FileResult::success();
    *changed = true;
    return replaceWholeFile(path, bytes);
}

} // namespace mv::fileutil
