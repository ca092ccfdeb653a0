#include "output_file.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include "fileio/FdIo.h"
#include "fileio/ZeroFill.h"
#include "last_error.h"

namespace mv::engine {

using mv::fileio::sameFile;
using mv::fileio::UniqueFd;

namespace {
constexpr std::uint64_t kWritebackStep = std::uint64_t(8) << 20;
const char* const kCannotWrite = "cannot write the destination";
} // namespace

OutputFile::OutputFile(const Files& files, bool wipe)
    : path_(files.destination ? files.destination : ""), sourcePath_(files.source ? files.source : ""),
      borrowedFd_(files.destinationFd), wipe_(wipe)
{
}

OutputFile::~OutputFile()
{
    if (committed_ || borrowedFd_ >= 0)
        return;
    if (fd_.valid())
        discard();
    else
        removePlaceholder();
}

bool OutputFile::checkTarget(const struct stat& target, const struct stat& source) const
{
    if (S_ISLNK(target.st_mode))
        failWith("cannot write the destination: it is a symbolic link");
    else if (!S_ISREG(target.st_mode))
        failWith("cannot write the destination: not a regular file");
    else if (sameFile(target, source))
        failWith("the destination is the source file");
    else if (target.st_nlink > 1)
        failWith("cannot write the destination: it has other hard links");
    else
        return true;
    return false;
}

bool OutputFile::open(const struct stat& source)
{
    if (borrowedFd_ < 0)
        return openPath(source);
    // Our own descriptor of the caller's open file: writing moves the shared offset, which is
    // what the caller expects of a file it handed over empty.
    fd_.reset(::fcntl(borrowedFd_, F_DUPFD_CLOEXEC, 0));
    if (!fd_.valid() || ::fstat(fd_.get(), &info_) != 0) {
        failWithErrno(kCannotWrite, errno);
        return false;
    }
    if (!checkTarget(info_, source))
        return false;
    if (info_.st_size == 0)
        return true;
    failWith("cannot write the destination: it is not empty");
    return false;
}

bool OutputFile::openPath(const struct stat& source)
{
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0 && !checkTarget(existing, source))
        return false;
    // No O_TRUNC here: the path is checked against the source first, then truncated.
    // O_NONBLOCK keeps a FIFO swapped in after the check from hanging the open.
    UniqueFd fd(::open(path_.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600));
    if (!fd.valid() || ::fstat(fd.get(), &info_) != 0) {
        failWithErrno(kCannotWrite, errno);
        return false;
    }
    if (!checkTarget(info_, source))
        return false; // not ours to remove
    fd_ = std::move(fd);
    mv::fileio::clearNonBlocking(fd_.get());
    if (::ftruncate(fd_.get(), 0) != 0 || ::fchmod(fd_.get(), 0600) != 0) {
        failWithErrno(kCannotWrite, errno);
        return false;
    }
    return true;
}

bool OutputFile::write(const void* data, std::size_t len)
{
    if (mv::fileio::writeFull(fd_.get(), data, len)) {
        startWriteback(len);
        return true;
    }
    failWithErrno(kCannotWrite, errno);
    return false;
}

void OutputFile::startWriteback(std::size_t len)
{
    // The data must reach the disk before the file is put in place anyway; starting its
    // write-back now lets the disk work while we encrypt the rest, so the final fsync has
    // little left.
    written_ += len;
    if (written_ - flushedTo_ < kWritebackStep)
        return;
    (void)::sync_file_range(fd_.get(), static_cast<off_t>(flushedTo_),
                            static_cast<off_t>(written_ - flushedTo_), SYNC_FILE_RANGE_WRITE);
    flushedTo_ = written_;
}

bool OutputFile::commit()
{
    if (borrowedFd_ >= 0) {
        fd_.reset();
        return true;
    }
    if (::fsync(fd_.get()) != 0 || !mv::fileio::syncFolder(mv::fileio::folderPart(path_))) {
        failWithErrno(kCannotWrite, errno);
        return false;
    }
    committed_ = true;
    fd_.close(); // after a good fsync the data is on disk whatever close says
    return true;
}

void OutputFile::discard()
{
    if (wipe_)
        (void)mv::fileio::zeroWholeFile(fd_.get());
    (void)!::ftruncate(fd_.get(), 0);
    // Unlink by name only while the name still means our file.
    struct stat now {};
    if (::lstat(path_.c_str(), &now) == 0 && sameFile(now, info_))
        ::unlink(path_.c_str());
    fd_.close();
}

void OutputFile::removePlaceholder() const
{
    // An empty file the caller made for us to fill: nothing is lost by removing it, and
    // leaving it would break the promise that a failure leaves no destination.
    struct stat target {};
    if (path_.empty() || ::lstat(path_.c_str(), &target) != 0 || !S_ISREG(target.st_mode) ||
        target.st_size != 0 || target.st_nlink != 1)
        return;
    struct stat source {};
    if (::stat(sourcePath_.c_str(), &source) == 0) {
        if (sameFile(source, target))
            return;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        return; // cannot tell it from the source
    }
    ::unlink(path_.c_str());
}

} // namespace mv::engine
