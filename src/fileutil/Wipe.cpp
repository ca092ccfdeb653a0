#include "fileutil/Wipe.h"

#include "fileutil/RandomText.h"
#include "fileutil/UniqueFd.h"
#include "fileutil/ZeroFill.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {

QString wipeStepText(WipeStep step)
{
    switch (step) {
    case WipeStep::OpenFolder: return QStringLiteral("open folder");
    case WipeStep::Inspect: return QStringLiteral("read file information");
    case WipeStep::RemoveLink: return QStringLiteral("remove link");
    case WipeStep::MakeWritable: return QStringLiteral("make writable");
    case WipeStep::Open: return QStringLiteral("open file");
    case WipeStep::Check: return QStringLiteral("check file");
    case WipeStep::WriteZeros: return QStringLiteral("write zeros");
    case WipeStep::Flush: return QStringLiteral("flush to disk");
    case WipeStep::Rename: return QStringLiteral("rename to a meaningless name");
    case WipeStep::Truncate: return QStringLiteral("cut to zero length");
    case WipeStep::Close: return QStringLiteral("close file");
    case WipeStep::Delete: return QStringLiteral("delete file");
    case WipeStep::FlushFolder: return QStringLiteral("flush folder");
    }
    return {};
}

namespace {

constexpr int kRenameAttempts = 100;

// One wipe of one name inside an open folder.
class Wiper {
public:
    Wiper(int folder, QByteArray name, int& fileNumber, const WipeOptions& options)
        : folder_(folder), name_(std::move(name)), fileNumber_(fileNumber), options_(options)
    {
    }
    ~Wiper() { closeFile(); }

    FileResult run();

private:
    int injected(WipeStep step) const { return options_.fault ? options_.fault(step) : 0; }
    FileResult fail(WipeStep step, int error) const
    {
        return FileResult::failure(wipeStepText(step), error);
    }
    // Runs one system call unless the step is made to fail; < 0 means failure in errno.
    template <typename Call>
    FileResult attempt(WipeStep step, Call&& call)
    {
        if (const int e = injected(step))
            return fail(step, e);
        if (call() < 0)
            return fail(step, errno);
        return FileResult::success();
    }

    FileResult inspect();
    FileResult removeLink();
    FileResult openChecked();
    FileResult zeroAndFlush();
    FileResult renameAway();
    int renameNoReplace(const QByteArray& to) const;
    FileResult finish();
    int closeFile();

    int folder_;
    QByteArray name_;
    int& fileNumber_;
    const WipeOptions& options_;
    UniqueFd file_;
    struct stat seen_ {};
};

int Wiper::closeFile()
{
    fileNumber_ = -1;
    return file_.close();
}

FileResult Wiper::inspect()
{
    return attempt(WipeStep::Inspect, [&] {
        return ::fstatat(folder_, name_.constData(), &seen_, AT_SYMLINK_NOFOLLOW);
    });
}

FileResult Wiper::removeLink()
{
    if (auto r = attempt(WipeStep::RemoveLink,
                         [&] { return ::unlinkat(folder_, name_.constData(), 0); });
        !r)
        return r;
    return attempt(WipeStep::FlushFolder, [&] { return ::fsync(folder_); });
}

FileResult Wiper::openChecked()
{
    if (!(seen_.st_mode & S_IWUSR)) {
        // AT_SYMLINK_NOFOLLOW: a link swapped in since lstat is refused, not followed.
        const mode_t mode = (seen_.st_mode & 07777) | S_IWUSR;
        if (auto r = attempt(WipeStep::MakeWritable, [&] {
                return ::fchmodat(folder_, name_.constData(), mode, AT_SYMLINK_NOFOLLOW);
            });
            !r)
            return r;
    }
    // O_NONBLOCK: a fifo swapped in since lstat must not hang the wipe.
    if (auto r = attempt(WipeStep::Open, [&] {
            file_.reset(::openat(folder_, name_.constData(),
                                 O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
            fileNumber_ = file_.get();
            return file_.get();
        });
        !r)
        return r;
    struct stat now {};
    if (auto r = attempt(WipeStep::Check, [&] { return ::fstat(file_.get(), &now); }); !r)
        return r;
    if (!S_ISREG(now.st_mode) || now.st_dev != seen_.st_dev || now.st_ino != seen_.st_ino)
        return FileResult::failure(wipeStepText(WipeStep::Check),
                                   QStringLiteral("the file was replaced while being wiped"));
    seen_ = now;
    return FileResult::success();
}

FileResult Wiper::zeroAndFlush()
{
    const auto fault = [this] { return injected(WipeStep::WriteZeros); };
    if (auto r = zeroFill(file_.get(), seen_.st_size, options_.onChunk, fault); !r)
        return r;
    return attempt(WipeStep::Flush, [&] { return ::fdatasync(file_.get()); });
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
        const QByteArray to = QFile::encodeName(QStringLiteral("$MV") + randomText(6) +
                                                QStringLiteral(".TMP"));
        const int e = injected(WipeStep::Rename);
        if (e == 0 && renameNoReplace(to) == 0) {
            name_ = to;
            return FileResult::success();
        }
        const int error = e ? e : errno;
        if (error != EEXIST)
            return fail(WipeStep::Rename, error);
    }
    return fail(WipeStep::Rename, EEXIST);
}

FileResult Wiper::finish()
{
    if (auto r = attempt(WipeStep::Truncate, [&] { return ::ftruncate(file_.get(), 0); }); !r)
        return r;
    if (auto r = attempt(WipeStep::Close, [&] { return closeFile(); }); !r)
        return r;
    if (auto r = attempt(WipeStep::Delete,
                         [&] { return ::unlinkat(folder_, name_.constData(), 0); });
        !r)
        return r;
    return attempt(WipeStep::FlushFolder, [&] { return ::fsync(folder_); });
}

FileResult Wiper::run()
{
    if (auto r = inspect(); !r)
        return r;
    if (S_ISLNK(seen_.st_mode))
        return removeLink();
    const QString check = wipeStepText(WipeStep::Check);
    if (S_ISDIR(seen_.st_mode))
        return FileResult::failure(check, QStringLiteral("is a folder, not a file"));
    if (!S_ISREG(seen_.st_mode))
        return FileResult::failure(check, QStringLiteral("is not a regular file"));
    if (seen_.st_nlink > 1)
        return FileResult::failure(check, QStringLiteral("has other hard links"));
    for (auto step : {&Wiper::openChecked, &Wiper::zeroAndFlush, &Wiper::renameAway,
                      &Wiper::finish}) {
        if (auto r = (this->*step)(); !r)
            return r;
    }
    return FileResult::success();
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

} // namespace

FileResult WipeFileIn(const QString& folder, const QString& name, int& fileNumber,
                      const WipeOptions& options)
{
    fileNumber = -1;
    if (!isPlainName(name))
        return FileResult::failure(wipeStepText(WipeStep::Inspect),
                                   QStringLiteral("not a file name"));
    UniqueFd dir;
    if (const int e = options.fault ? options.fault(WipeStep::OpenFolder) : 0)
        return FileResult::failure(wipeStepText(WipeStep::OpenFolder), e);
    const QByteArray folderName = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    dir.reset(::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return FileResult::failure(wipeStepText(WipeStep::OpenFolder), errno);
    Wiper wiper(dir.get(), QFile::encodeName(name), fileNumber, options);
    return wiper.run();
}

FileResult WipeFile(const QString& path, const WipeOptions& options)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return FileResult::failure(QStringLiteral("check path"), QStringLiteral("not a full path"));
    int fileNumber = -1;
    return WipeFileIn(path.left(slash + 1), path.mid(slash + 1), fileNumber, options);
}

} // namespace mv
