#include "source_file.h"

#include <cerrno>
#include <string>

#include <fcntl.h>

#include "fileio/FdIo.h"
#include "last_error.h"

namespace mv::engine {

using mv::fileio::UniqueFd;

bool SourceFile::open(const char* path, const char* what)
{
    // O_NONBLOCK: a FIFO planted at the path must not hang us before we can refuse it.
    fd_.reset(::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    return check(what);
}

bool SourceFile::adopt(int fd, const char* what)
{
    fd_.reset(fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    return check(what);
}

bool SourceFile::check(const char* what)
{
    offset_ = 0;
    if (!fd_.valid() || ::fstat(fd_.get(), &info_) != 0) {
        failWithErrno(what, errno);
        fd_.reset();
        return false;
    }
    if (!S_ISREG(info_.st_mode)) {
        failWith(std::string(what) + ": not a regular file");
        fd_.reset();
        return false;
    }
    // Regular files ignore O_NONBLOCK; clear it anyway so no read can ever return EAGAIN.
    mv::fileio::clearNonBlocking(fd_.get());
    // Read once from start to end: let the kernel read well ahead while we seal.
    (void)::posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

ssize_t SourceFile::read(void* buf, std::size_t len)
{
    const ssize_t n = mv::fileio::preadFull(fd_.get(), buf, len, offset_);
    if (n > 0)
        offset_ += static_cast<std::uint64_t>(n);
    return n;
}

bool SourceFile::unchangedToTheEnd() const
{
    struct stat now {};
    if (::fstat(fd_.get(), &now) != 0) {
        failWithErrno("cannot read the source", errno);
        return false;
    }
    if (offset_ != size() || !mv::fileio::sameContentsStamp(now, info_)) {
        failWith("the file changed while being read");
        return false;
    }
    return true;
}

} // namespace mv::engine
