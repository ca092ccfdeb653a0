#include "output_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "last_error.h"

namespace mv::engine {

namespace {

constexpr std::size_t kWipeBlock = 1 << 20;
constexpr std::uint64_t kWritebackStep = std::uint64_t(8) << 20;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

OutputFile::OutputFile(const char* path, const char* sourcePath, bool wipe)
    : path_(path), sourcePath_(sourcePath), wipe_(wipe)
{
}

OutputFile::~OutputFile()
{
    if (committed_)
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
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0 && !checkTarget(existing, source))
        return false;
    // No O_TRUNC here: the path is checked against the source first, then truncated.
    // O_NONBLOCK keeps a FIFO swapped in after the check from hanging the open.
    Fd fd(::open(path_.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600));
    if (!fd.valid() || ::fstat(fd.get(), &info_) != 0) {
        failWithErrno("cannot write the destination", errno);
        return false;
    }
    if (!checkTarget(info_, source))
        return false; // not ours to remove
    fd_ = std::move(fd);
    const int flags = ::fcntl(fd_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd_.get(), F_SETFL, flags & ~O_NONBLOCK) != 0
        || ::ftruncate(fd_.get(), 0) != 0 || ::fchmod(fd_.get(), 0600) != 0) {
        failWithErrno("cannot write the destination", errno);
        return false;
    }
    return true;
}

bool OutputFile::write(const void* data, std::size_t len)
{
    if (writeFull(fd_.get(), data, len)) {
        startWriteback(len);
        return true;
    }
    failWithErrno("cannot write the destination", errno);
    return false;
}

void OutputFile::startWriteback(std::size_t len)
{
    // The data must reach the disk before commit() returns anyway; starting its write-back
    // now lets the disk work while we encrypt the rest, so the final fsync has little left.
    written_ += len;
    if (written_ - flushedTo_ < kWritebackStep)
        return;
    (void)::sync_file_range(fd_.get(), static_cast<off_t>(flushedTo_), static_cast<off_t>(written_ - flushedTo_),
                            SYNC_FILE_RANGE_WRITE);
    flushedTo_ = written_;
}

bool OutputFile::commit()
{
    if (::fsync(fd_.get()) != 0 || !syncParentFolder(path_.c_str())) {
        failWithErrno("cannot write the destination", errno);
        return false;
    }
    committed_ = true;
    fd_.close(); // after a good fsync the data is on disk whatever close says
    return true;
}

void OutputFile::discard()
{
    if (wipe_)
        wipeContents();
    (void)!::ftruncate(fd_.get(), 0);
    // Unlink by name only while the name still means our file.
    struct stat now {};
    if (::lstat(path_.c_str(), &now) == 0 && sameFile(now, info_))
        ::unlink(path_.c_str());
    fd_.close();
}

void OutputFile::wipeContents()
{
    struct stat now {};
    if (::fstat(fd_.get(), &now) != 0 || now.st_size <= 0)
        return;
    const auto size = static_cast<std::uint64_t>(now.st_size);
    const std::vector<std::uint8_t> zeros(std::min<std::uint64_t>(size, kWipeBlock), 0);
    for (std::uint64_t at = 0; at < size;) {
        const std::size_t n = std::min<std::uint64_t>(zeros.size(), size - at);
        if (!pwriteFull(fd_.get(), zeros.data(), n, static_cast<off_t>(at)))
            break;
        at += n;
    }
    ::fdatasync(fd_.get());
}

void OutputFile::removePlaceholder() const
{
    // An empty file the caller made for us to fill: nothing is lost by removing it, and
    // leaving it would break the promise that a failure leaves no destination.
    struct stat target {};
    if (::lstat(path_.c_str(), &target) != 0 || !S_ISREG(target.st_mode) || target.st_size != 0
        || target.st_nlink != 1)
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
