#include "fileio/FdIo.h"

#include "fileio/RetryInterrupted.h"
#include "fileio/UniqueFd.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mv::fileio {

namespace {

// Hands put() the rest of buf until all of it is taken. put(at, left, done) acts like
// write(2); done is what is already written, for writers that keep their own offset.
template <typename Put>
bool putAll(const void* buf, std::size_t len, Put put)
{
    const auto* at = static_cast<const std::uint8_t*>(buf);
    std::size_t done = 0;
    while (done < len) {
        const ssize_t n = retryInterrupted([&] { return put(at + done, len - done, done); });
        if (n < 0)
            return false;
        if (n == 0) {
            errno = EIO; // no progress and no error: do not spin
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

template <typename Get>
ssize_t getAll(void* buf, std::size_t len, Get get)
{
    auto* at = static_cast<std::uint8_t*>(buf);
    std::size_t done = 0;
    while (done < len) {
        const ssize_t n = retryInterrupted([&] { return get(at + done, len - done, done); });
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

ssize_t readFull(int fd, void* buf, std::size_t len)
{
    return getAll(buf, len,
                  [fd](std::uint8_t* at, std::size_t left, std::size_t) { return ::read(fd, at, left); });
}

ssize_t preadFull(int fd, void* buf, std::size_t len, std::uint64_t offset)
{
    return getAll(buf, len, [fd, offset](std::uint8_t* at, std::size_t left, std::size_t done) {
        return ::pread(fd, at, left, static_cast<off_t>(offset + done));
    });
}

bool writeFull(int fd, const void* buf, std::size_t len, SystemCalls& calls)
{
    return putAll(buf, len, [fd, &calls](const std::uint8_t* at, std::size_t left, std::size_t) {
        return calls.write(fd, at, left);
    });
}

bool pwriteFull(int fd, const void* buf, std::size_t len, std::uint64_t offset, SystemCalls& calls)
{
    return putAll(buf, len, [fd, offset, &calls](const std::uint8_t* at, std::size_t left, std::size_t done) {
        return calls.pwrite(fd, at, left, static_cast<off_t>(offset + done));
    });
}

std::string folderPart(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string namePart(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool syncFolderFd(int dirFd, SystemCalls& calls)
{
    return calls.fsync(dirFd) == 0 || errno == EINVAL || errno == EROFS;
}

bool syncFolder(const std::string& folder)
{
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.valid() && syncFolderFd(dir.get());
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool sameContentsStamp(const struct stat& a, const struct stat& b)
{
    return sameFile(a, b) && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

void clearNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK))
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

bool tryLock(int fd)
{
    return retryInterrupted([fd] { return ::flock(fd, LOCK_EX | LOCK_NB); }) == 0;
}

} // namespace mv::fileio
