#include "fileutil/DisplacedFile.h"

#include "fileutil/ZeroFill.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace mv {

namespace {
const QString kOpenStep = QStringLiteral("open the file being replaced");
const QString kClearStep = QStringLiteral("clear the replaced file");
} // namespace

FileResult openDisplaced(const QByteArray& path, const struct stat& seen, UniqueFd& fd)
{
    const int flags = O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    fd.reset(::open(path.constData(), flags));
    const mode_t mode = seen.st_mode & 07777;
    if (!fd.valid() && errno == EACCES &&
        ::fchmodat(AT_FDCWD, path.constData(), mode | S_IWUSR, AT_SYMLINK_NOFOLLOW) == 0) {
        fd.reset(::open(path.constData(), flags));
        const int e = errno;
        (void)::fchmodat(AT_FDCWD, path.constData(), mode, AT_SYMLINK_NOFOLLOW);
        errno = e;
    }
    struct stat now {};
    if (!fd.valid() || ::fstat(fd.get(), &now) < 0)
        return FileResult::failure(kOpenStep, errno);
    if (now.st_dev != seen.st_dev || now.st_ino != seen.st_ino) {
        fd.reset();
        return FileResult::failure(kOpenStep, QStringLiteral("the file changed meanwhile"));
    }
    return FileResult::success();
}

FileResult clearDisplaced(UniqueFd& fd)
{
    struct stat st {};
    if (::fstat(fd.get(), &st) < 0)
        return FileResult::failure(kClearStep, errno);
    if (auto r = zeroFill(fd.get(), st.st_size); !r)
        return r;
    // Flushed before the cut, or the kernel may drop the zeros with the freed blocks.
    if (::fdatasync(fd.get()) < 0 || ::ftruncate(fd.get(), 0) < 0)
        return FileResult::failure(kClearStep, errno);
    if (fd.close() < 0)
        return FileResult::failure(kClearStep, errno);
    return FileResult::success();
}

} // namespace mv
