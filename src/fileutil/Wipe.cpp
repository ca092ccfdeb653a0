#include "fileutil/Wipe.h"

#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileio/ZeroFill.h"
#include "fileutil/NameText.h"
#include "fileutil/RandomText.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace mv::fileutil {

using fileio::UniqueFd;

QString wipeStepText(WipeStep step)
{
    switch (step) {
    case WipeStep::OpenFolder: return QCoreApplication::translate("mv::fileutil", "open folder");
    case WipeStep::Inspect: return QCoreApplication::translate("mv::fileutil", "read file information");
    case WipeStep::RemoveLink: return QCoreApplication::translate("mv::fileutil", "remove link");
    case WipeStep::Open: return QCoreApplication::translate("mv::fileutil", "open file");
    case WipeStep::Check: return QCoreApplication::translate("mv::fileutil", "check file");
    case WipeStep::Lock: return QCoreApplication::translate("mv::fileutil", "lock file");
    case WipeStep::Rename: return QCoreApplication::translate("mv::fileutil", "rename to a meaningless name");
    case WipeStep::MakeWritable:
        return QCoreApplication::translate("mv::fileutil", "make readable and writable by the owner only");
    case WipeStep::OpenForWriting: return QCoreApplication::translate("mv::fileutil", "open for writing");
    case WipeStep::WriteZeros: return QCoreApplication::translate("mv::fileutil", "write zeros");
    case WipeStep::Flush: return QCoreApplication::translate("mv::fileutil", "flush to disk");
    case WipeStep::Truncate: return QCoreApplication::translate("mv::fileutil", "cut to zero length");
    case WipeStep::Close: return QCoreApplication::translate("mv::fileutil", "close file");
    case WipeStep::Delete: return QCoreApplication::translate("mv::fileutil", "delete file");
    case WipeStep::FlushFolder: return QCoreApplication::translate("mv::fileutil", "flush folder");
    }
    return {};
}

namespace {

constexpr int kRenameAttempts = 100;

int injected(const WipeOptions& options, WipeStep step)
{
    return options.fault ? options.fault(step) : 0;
}

FileResult failure(WipeStep step, int error)
{
    return FileResult::failure(wipeStepText(step).toStdString(), error);
}

FileResult failure(WipeStep step, const char* reason)
{
    return FileResult::failure(wipeStepText(step).toStdString(), reason);
}

// One wipe of one name inside an open folder.
class Wiper {
public:
    Wiper(int folder, QByteArray folderPath, QByteArray name, int& fileNumber, const WipeOptions& options)
        : folder_(folder), folderPath_(std::move(folderPath)), name_(std::move(name)),
          fileNumber_(fileNumber), options_(options)
    {
    }
    ~Wiper() { closeFile(); }

    // The file held open by the caller: only this file is wiped, and only if unchanged.
    void hold(int fd, const struct stat& expected)
    {
        held_ = fd;
        expected_ = expected;
    }
    bool changed() const { return changed_; }

    FileResult run();

private:
    // Runs one system call unless the step is made to fail; < 0 means failure in errno.
    template <typename Call>
    FileResult attempt(WipeStep step, Call&& call)
    {
        if (const int e = injected(options_, step))
            return failure(step, e);
        if (call() < 0)
            return failure(step, errno);
        return FileResult::success();
    }

    FileResult inspect();
    FileResult removeLink();
    FileResult openAndLock();
    FileResult heldChanged();
    FileResult renameAway();
    int renameNoReplace(const QByteArray& to) const;
    FileResult openForWriting();
    FileResult zeroAndFlush();
    FileResult finish();
    FileResult afterRename(FileResult r) const;
    int closeFile();

    int folder_;
    QByteArray folderPath_;
    QByteArray name_;
    int& fileNumber_;
    const WipeOptions& options_;
    UniqueFd file_;
    struct stat seen_ {};
    int held_ = -1;
    struct stat expected_ {};
    bool changed_ = false;
    bool renamed_ = false;
    bool zeroed_ = false;
};

int Wiper::closeFile()
{
    fileNumber_ = -1;
    return file_.close();
}

FileResult Wiper::inspect()
{
    return attempt(WipeStep::Inspect,
                   [&] { return ::fstatat(folder_, name_.constData(), &seen_, AT_SYMLINK_NOFOLLOW); });
}

FileResult Wiper::removeLink()
{
    if (auto r = attempt(WipeStep::RemoveLink, [&] { return ::unlinkat(folder_, name_.constData(), 0); }); !r)
        return r;
    return attempt(WipeStep::FlushFolder, [&] { return fileio::syncFolderFd(folder_) ? 0 : -1; });
}

FileResult Wiper::openAndLock()
{
    // O_NONBLOCK: a fifo swapped in since lstat must not hang the wipe. Opening for reading
    // needs no write permission, so nothing about the file changes before the rename.
    if (auto r = attempt(WipeStep::Open,
                         [&] {
                             file_.reset(held_ >= 0 ? ::fcntl(held_, F_DUPFD_CLOEXEC, 0)
                                                    : ::openat(folder_, name_.constData(),
                                                               O_RDONLY | O_NOFOLLOW | O_CLOEXEC |
                                                                   O_NONBLOCK | O_NOCTTY));
                             fileNumber_ = file_.get();
                             return file_.get();
                         });
        !r)
        return r;
    struct stat now {};
    if (auto r = attempt(WipeStep::Check, [&] { return ::fstat(file_.get(), &now); }); !r)
        return r;
    if (!S_ISREG(now.st_mode) || !fileio::sameFile(now, seen_))
        return failure(WipeStep::Check, "the file was replaced while being wiped");
    seen_ = now;
    if (held_ >= 0)
        return FileResult::success(); // the caller holds the lock
    if (const int e = injected(options_, WipeStep::Lock))
        return failure(WipeStep::Lock, e);
    if (!fileio::tryLock(file_.get())) {
        const int e = errno;
        return e == EWOULDBLOCK ? failure(WipeStep::Lock, "in use by another run")
                                : failure(WipeStep::Lock, e);
    }
    return FileResult::success();
}

// The name no longer holds the file the caller worked on, or the file was written to since.
// Whatever is under the name now is someone's newer data and is left alone; the old
// contents are zeroed only when no name shows them any more.
FileResult Wiper::heldChanged()
{
    changed_ = true;
    struct stat old {};
    if (::fstat(held_, &old) == 0 && S_ISREG(old.st_mode) && old.st_nlink == 0) {
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", held_);
        (void)::fchmod(held_, (old.st_mode & 07777) | S_IWUSR);
        UniqueFd writable(::open(self, O_WRONLY | O_CLOEXEC));
        if (writable.valid())
            (void)fileio::zeroWholeFile(writable.get());
    }
    return failure(WipeStep::Check, "the file was changed or replaced meanwhile; what is under its "
                                    "name now is left as it is");
}

// renameat2 with RENAME_NOREPLACE, or, where the file system lacks it, link + unlink,
// which also never replaces an existing name.
int Wiper::renameNoReplace(const QByteArray& to) const
{
    if (::renameat2(folder_, name_.constData(), folder_, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    if (::linkat(folder_, name_.constData(), folder_, to.constData(), 0) < 0)
        return -1;
    return ::unlinkat(folder_, name_.constData(), 0);
}

FileResult Wiper::renameAway()
{
    for (int i = 0; i < kRenameAttempts; ++i) {
        const QByteArray to =
            QFile::encodeName(QStringLiteral("$MV") + randomText(6) + QStringLiteral(".TMP"));
        const int e = injected(options_, WipeStep::Rename);
        if (e == 0 && renameNoReplace(to) == 0) {
            const QByteArray from = name_;
            name_ = to;
            renamed_ = true;
            // Between the check and the rename another file may have taken the name; then
            // it goes back where it was, untouched.
            struct stat moved {};
            if (::fstatat(folder_, to.constData(), &moved, AT_SYMLINK_NOFOLLOW) == 0 &&
                !fileio::sameFile(moved, seen_)) {
                if (::renameat2(folder_, to.constData(), folder_, from.constData(), RENAME_NOREPLACE) == 0) {
                    name_ = from;
                    renamed_ = false;
                }
                return failure(WipeStep::Check, "the file was replaced while being wiped");
            }
            return FileResult::success();
        }
        const int error = e ? e : errno;
        if (error != EEXIST)
            return failure(WipeStep::Rename, error);
    }
    return failure(WipeStep::Rename, EEXIST);
}

FileResult Wiper::openForWriting()
{
    // Owner-only from the rename on: a wipe cut short leaves a "$MV....TMP" that may still
    // hold the data, and no one else may read it. Another user's file keeps the permissions
    // only its owner may change; whether it can be written is for the opening to tell.
    if (auto r = attempt(WipeStep::MakeWritable,
                         [&] {
                             const int rc = ::fchmod(file_.get(), S_IRUSR | S_IWUSR);
                             return rc < 0 && errno == EPERM && seen_.st_uid != ::geteuid() ? 0 : rc;
                         });
        !r)
        return r;
    UniqueFd writable;
    if (auto r = attempt(WipeStep::OpenForWriting,
                         [&] {
                             writable.reset(::openat(folder_, name_.constData(),
                                                     O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
                             return writable.get();
                         });
        !r)
        return r;
    struct stat now {};
    if (::fstat(writable.get(), &now) < 0 || !fileio::sameFile(now, seen_))
        return failure(WipeStep::Check, "the file was replaced while being wiped");
    // The read descriptor goes; the lock stays with the caller's descriptor or moves here.
    if (held_ < 0)
        (void)fileio::tryLock(writable.get());
    file_ = std::move(writable);
    fileNumber_ = file_.get();
    return FileResult::success();
}

FileResult Wiper::zeroAndFlush()
{
    if (const int e = injected(options_, WipeStep::WriteZeros))
        return failure(WipeStep::WriteZeros, e);
    if (auto r = fileio::zeroFill(file_.get(), seen_.st_size, options_.onChunk); !r)
        return r;
    zeroed_ = true;
    return attempt(WipeStep::Flush, [&] { return ::fdatasync(file_.get()); });
}

FileResult Wiper::finish()
{
    if (auto r = attempt(WipeStep::Truncate, [&] { return ::ftruncate(file_.get(), 0); }); !r)
        return r;
    if (auto r = attempt(WipeStep::Close, [&] { return closeFile(); }); !r)
        return r;
    if (auto r = attempt(WipeStep::Delete, [&] { return ::unlinkat(folder_, name_.constData(), 0); }); !r)
        return r;
    renamed_ = false; // the name is gone
    return attempt(WipeStep::FlushFolder, [&] { return fileio::syncFolderFd(folder_) ? 0 : -1; });
}

// A failure once the file is out of its name: say what is left, and whether the data is.
FileResult Wiper::afterRename(FileResult r) const
{
    if (zeroed_)
        r.note = "the contents are already gone";
    if (renamed_)
        r.leftover = (folderPath_ + name_).toStdString();
    return r;
}

FileResult Wiper::run()
{
    if (auto r = inspect(); !r) {
        if (held_ >= 0 && r.error == ENOENT)
            return heldChanged();
        return r;
    }
    if (held_ >= 0 && !fileio::sameContentsStamp(seen_, expected_))
        return heldChanged();
    if (S_ISLNK(seen_.st_mode))
        return removeLink();
    if (S_ISDIR(seen_.st_mode))
        return failure(WipeStep::Check, "is a folder, not a file");
    if (!S_ISREG(seen_.st_mode))
        return failure(WipeStep::Check, "is not a regular file");
    if (seen_.st_nlink > 1)
        return failure(WipeStep::Check, "has other hard links");
    if (auto r = openAndLock(); !r)
        return r;
    if (auto r = renameAway(); !r)
        return afterRename(r);
    for (auto step : {&Wiper::openForWriting, &Wiper::zeroAndFlush, &Wiper::finish}) {
        if (auto r = (this->*step)(); !r)
            return afterRename(r);
    }
    return FileResult::success();
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

FileResult wipeIn(const QString& folder, const QString& name, int& fileNumber, const WipeOptions& options,
                  int held, const struct stat* expected, bool* changed)
{
    fileNumber = -1;
    if (!isPlainName(name))
        return failure(WipeStep::Inspect, "not a file name");
    if (const int e = injected(options, WipeStep::OpenFolder))
        return failure(WipeStep::OpenFolder, e);
    const QByteArray folderName = nativeName(folder.isEmpty() ? QStringLiteral("./") : folder);
    UniqueFd dir(::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return failure(WipeStep::OpenFolder, errno);
    Wiper wiper(dir.get(), folderName, nativeName(name), fileNumber, options);
    if (held >= 0)
        wiper.hold(held, *expected);
    FileResult r = wiper.run();
    if (changed)
        *changed = wiper.changed();
    return r;
}

} // namespace

FileResult WipeFileIn(const QString& folder, const QString& name, int& fileNumber, const WipeOptions& options)
{
    return wipeIn(folder, name, fileNumber, options, -1, nullptr, nullptr);
}

FileResult WipeFile(const QString& path, const WipeOptions& options)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return FileResult::failure("check path", "not a full path");
    int fileNumber = -1;
    return WipeFileIn(path.left(slash + 1), path.mid(slash + 1), fileNumber, options);
}

FileResult wipeHeldFile(const QString& path, int heldFd, const struct stat& expected, bool& changed,
                        const WipeOptions& options)
{
    changed = false;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return FileResult::failure("check path", "not a full path");
    int fileNumber = -1;
    return wipeIn(path.left(slash + 1), path.mid(slash + 1), fileNumber, options, heldFd, &expected,
                  &changed);
}

bool isFileOrLink(const QString& path)
{
    struct stat st {};
    return ::lstat(nativePath(path).c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

WipeReport wipeAll(const QStringList& paths)
{
    WipeReport report;
    for (const QString& path : paths) {
        const FileResult result = WipeFile(path);
        if (result.ok)
            report.wiped << path;
        else
            report.failures << result.within(nativePath(path));
    }
    return report;
}

} // namespace mv::fileutil
