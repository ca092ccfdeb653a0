#include "source_file.h"

#include <cerrno>
#include <string>
#include <utility>

#include <fcntl.h>

#include "last_error.h"

namespace mv::engine {

bool SourceFile::open(const char* path, const char* what)
{
    // O_NONBLOCK: a FIFO planted at the path must not hang us before we can refuse it.
    Fd fd(::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid() || ::fstat(fd.get(), &info_) != 0) {
        failWithErrno(what, errno);
        return false;
    }
    if (!S_ISREG(info_.st_mode)) {
        failWith(std::string(what) + ": not a regular file");
        return false;
    }
    // Regular files ignore O_NONBLOCK; clear it anyway so no read can ever return EAGAIN.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    fd_ = std::move(fd);
    return true;
}

} // namespace mv::engine
