#include "shell/HiveStore.h"

#include "desktop/ConfigDir.h"
#include "fileio/DurableOutput.h"
#include "fileio/FdIo.h"
#include "fileio/RetryInterrupted.h"
#include "fileutil/FileResult.h"
#include "fileutil/Wipe.h"
#include "shell/FileLock.h"
#include "shell/RegFormat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::shell {

using fileutil::FileResult;
using fileutil::nativePath;

namespace {
} // namespace

namespace {

// Far beyond any real store; a bigger file is not ours to load into memory.
constexpr qint64 kMaxStoreBytes = qint64(512) * 1024 * 1024;

enum class ReadResult {
    Ok,
    Missing,
    NotAFile,
    Failed
};

ReadResult readWhole(const QString& path, QByteArray* bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    ReadResult result = ReadResult::Ok;
    if (::fstat(fd, &st) != 0 || st.st_size > kMaxStoreBytes)
        result = ReadResult::Failed;
    else if (!S_ISREG(st.st_mode))
        result = ReadResult::NotAFile;
    bytes->clear();
    char buf[64 * 1024];
    while (result == ReadResult::Ok) {
        const ssize_t n = fileio::retryInterrupted([&] { return ::read(fd, buf, sizeof buf); });
        if (n < 0 || bytes->size() + n > kMaxStoreBytes) {
            result = ReadResult::Failed;
            break;
        }
        if (n == 0)
            break;
        bytes->append(buf, n);
    }
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return result;
}

} // namespace

HiveStore::HiveStore(const QString& dir, const QString& fileName) : dir_(dir), fileName_(fileName) {}

HiveStore::Load HiveStore::load(RegDocument* doc, FileResult* error) const
{
    *doc = RegDocument();
    const std::string step =
        QCoreApplication::translate("mv::shell", "read %1").arg(filePath()).toStdString();
    QByteArray bytes;
    switch (readWhole(filePath(), &bytes)) {
    case ReadResult::Missing: return Load::Ok;
    case ReadResult::Failed: *error = FileResult::failure(step, errno); return Load::Failed;
    case ReadResult::NotAFile:
        *error = FileResult::failure(
            step, QCoreApplication::translate("mv::shell", "not a regular file").toStdString());
        return Load::Damaged;
    case ReadResult::Ok: break;
    }
    QString why;
    if (parseRegText(bytes, doc, &why))
        return Load::Ok;
    *error = FileResult::failure(
        step, QCoreApplication::translate("mv::shell", "the file is damaged (%1)").arg(why).toStdString());
    return Load::Damaged;
}

bool HiveStore::quarantine(FileResult& damaged) const
{
    const QString base = filePath() + QLatin1String(".bad");
    QString target = base;
    struct stat st {};
    // Every writer holds the exclusive lock here, so the free name stays free.
    for (int n = 1; ::lstat(QFile::encodeName(target).constData(), &st) == 0; ++n)
        target = base + QLatin1Char('.') + QString::number(n);
    if (::rename(QFile::encodeName(filePath()).constData(), QFile::encodeName(target).constData()) != 0) {
        damaged.note = QCoreApplication::translate("mv::shell", "it could not be moved to %1: %2")
                           .arg(target, QString::fromStdString(fileio::errorText(errno)))
                           .toStdString();
        return false;
    }
    (void)fileio::syncFolder(nativePath(dir_));
    damaged.note = QCoreApplication::translate("mv::shell", "kept as %1").arg(target).toStdString();
    return true;
}

void HiveStore::removeLeftoverTemps() const
{
    // Writers hold the exclusive lock while their temporary file exists, so any temporary
    // file seen under that lock was left by a writer that died. Both names a temporary file
    // of the store can have are wiped: the one after the store file and the shared one.
    const QDir dir(dir_);
    const QStringList patterns {QLatin1Char('.') + fileName_ + QLatin1String(".tmp-*"),
                                QLatin1String(fileio::kTempPrefix) + QLatin1Char('*') +
                                    QLatin1String(fileio::kTempSuffix)};
    for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System))
        (void)fileutil::WipeFile(dir.filePath(name));
}

FileResult HiveStore::writeDurably(const QByteArray& bytes) const
{
    // A crash at any moment leaves the old or the new store whole; the old copy's blocks are
    // zeroed once the new one is on disk, as they hold folder names and other private text.
    fileio::DurableOutput out;
    FileResult r = out.create(nativePath(dir_), 0600, /*clearOnDiscard=*/true);
    if (r && !fileio::writeFull(out.fd(), bytes.constData(), size_t(bytes.size())))
        r = FileResult::failure(
            QCoreApplication::translate("mv::shell", "write %1").arg(filePath()).toStdString(), errno);
    if (r)
        r = out.commit(nativePath(filePath()), fileio::Existing::ReplaceAndClear);
    return r;
}

FileResult HiveStore::read(RegDocument* doc) const
{
    if (!QFileInfo::exists(dir_)) {
        *doc = RegDocument();
        return FileResult::success();
    }
    FileResult error;
    Load loaded;
    {
        // A read works without the lock too (files are only ever replaced whole), so a
        // lock file that can't be opened doesn't stop it.
        const FileLock lock(lockPath(), FileLock::Mode::Shared);
        loaded = load(doc, &error);
    }
    if (loaded != Load::Damaged)
        return error;
    // Moving the damaged file aside is a write: look again under the exclusive lock, as a
    // writer may have replaced it in between.
    const FileLock lock(lockPath(), FileLock::Mode::Exclusive);
    if (!lock.isLocked())
        return lock.error();
    error = FileResult::success();
    loaded = load(doc, &error);
    if (loaded == Load::Damaged)
        (void)quarantine(error);
    return error;
}

FileResult HiveStore::modify(const std::function<bool(RegDocument&)>& edit) const
{
    if (auto made = desktop::makePrivateDirs(dir_); !made)
        return made;
    const FileLock lock(lockPath(), FileLock::Mode::Exclusive);
    if (!lock.isLocked())
        return lock.error();
    removeLeftoverTemps();
    RegDocument doc;
    FileResult error;
    const Load loaded = load(&doc, &error);
    if (loaded == Load::Failed)
        return error;
    // A damaged store that cannot be moved aside is never overwritten.
    if (loaded == Load::Damaged && !quarantine(error))
        return error;
    if (!edit(doc))
        return FileResult::success();
    return writeDurably(writeRegText(doc));
}

} // namespace mv::shell
