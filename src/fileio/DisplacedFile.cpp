#include "fileio/DisplacedFile.h"

#include "fileio/FdIo.h"
#include "fileio/ZeroFill.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace mv::fileio {

namespace {
const char* const kOpenStep = "open the file being replaced";
const char* const kClearStep = "clear the replaced file";
} // namespace

Status openDisplaced(int dirFd, const char* name, UniqueFd& fd)
{
    fd.reset();
    struct stat seen {};
    if (::fstatat(dirFd, name, &seen, AT_SYMLINK_NOFOLLOW) < 0)
        return errno == ENOENT ? Status::success() : Status::failure(kOpenStep, errno);
    if (!S_ISREG(seen.st_mode) || seen.st_nlink != 1)
        return Status::success();
    const int flags = O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    fd.reset(::openat(dirFd, name, flags));
    const mode_t mode = seen.st_mode & 07777;
    if (!fd.valid() && errno == EACCES && ::fchmodat(dirFd, name, mode | S_IWUSR, AT_SYMLINK_NOFOLLOW) == 0) {
        fd.reset(::openat(dirFd, name, flags));
        const int e = errno;
        (void)::fchmodat(dirFd, name, mode, AT_SYMLINK_NOFOLLOW);
        errno = e;
    }
    struct stat now {};
    if (!fd.valid() || ::fstat(fd.get(), &now) < 0)
        return Status::failure(kOpenStep, errno);
    if (!sameFile(now, seen)) {
        fd.reset();
        return Status::failure(kOpenStep, "the file changed meanwhile");
    }
    clearNonBlocking(fd.get());
    return Status::success();
}

Status clearDisplaced(UniqueFd& fd, SystemCalls& calls)
{
    // Flushed before the cut, or the kernel may drop the zeros with the freed blocks.
    if (auto r = zeroWholeFile(fd.get(), calls); !r)
        return r.within(kClearStep);
    if (::ftruncate(fd.get(), 0) < 0)
        return Status::failure(kClearStep, errno);
    if (fd.close() < 0)
        return Status::failure(kClearStep, errno);
    return Status::success();
}

} // namespace mv::fileio
