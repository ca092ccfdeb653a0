#include "shell/DurableFile.h"

#include "shell/FileScrub.h"
#include "shell/SysError.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Writes and syncs a fresh temporary file; returns its name, or empty on failure.
QString writeTemp(const QString& path, const QByteArray& bytes, QString* error)
{
    const QFileInfo info(path);
    QByteArray pattern = QFile::encodeName(
        info.path() + QLatin1Char('/') + durableTempPrefix(info.fileName()) + QLatin1String("XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = sysError(QStringLiteral("cannot create a temporary file in %1").arg(info.path()));
        return {};
    }
    const QString temp = QFile::decodeName(pattern);
    bool ok = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    if (!ok)
        *error = sysError(QStringLiteral("cannot write %1").arg(temp));
    if (!ok)
        zeroWholeFile(fd);
    if (::close(fd) != 0 && ok) {
        *error = sysError(QStringLiteral("cannot write %1").arg(temp));
        ok = false;
    }
    if (!ok) {
        ::unlink(pattern.constData());
        return {};
    }
    return temp;
}

} // namespace

QString durableTempPrefix(const QString& fileName)
{
    return QLatin1Char('.') + fileName + QLatin1String(".tmp-");
}

bool syncFolder(const QString& dir, QString* error)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        *error = sysError(QStringLiteral("cannot sync folder %1").arg(dir));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

bool replaceFileDurably(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString temp = writeTemp(path, bytes, error);
    if (temp.isEmpty())
        return false;
    const QByteArray target = QFile::encodeName(path);
    // Held open across the rename so its blocks can be cleared once the new copy is in place.
    // The link count must be judged now: the rename takes one name away.
    int old = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (old >= 0 && !hasSingleLink(old)) {
        ::close(old);
        old = -1;
    }
    if (::rename(QFile::encodeName(temp).constData(), target.constData()) != 0) {
        *error = sysError(QStringLiteral("cannot replace %1").arg(path));
        if (old >= 0)
            ::close(old);
        scrubAndRemove(temp);
        return false;
    }
    const bool synced = syncFolder(QFileInfo(path).path(), error);
    if (old >= 0) {
        // Only once the rename is durable may the old copy go.
        if (synced)
            zeroWholeFile(old);
        ::close(old);
    }
    return synced;
}

} // namespace mv
