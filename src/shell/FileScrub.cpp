#include "shell/FileScrub.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {

bool zeroFill(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const std::vector<char> zeros(64 * 1024, 0);
    off_t done = 0;
    while (done < st.st_size) {
        const size_t chunk = size_t(std::min<off_t>(off_t(zeros.size()), st.st_size - done));
        const ssize_t n = ::pwrite(fd, zeros.data(), chunk, done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::fsync(fd) == 0;
}

bool hasSingleLink(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
}

bool scrubAndRemove(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    bool ok = true;
    if (fd >= 0) {
        ok = !hasSingleLink(fd) || zeroFill(fd);
        ::close(fd);
    }
    return ::unlink(name.constData()) == 0 && ok;
}

} // namespace mv
