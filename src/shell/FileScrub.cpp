#include "shell/FileScrub.h"

#include "fileutil/Wipe.h"
#include "fileutil/ZeroFill.h"

#include <sys/stat.h>
#include <unistd.h>

namespace mv {

bool zeroWholeFile(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return zeroFill(fd, st.st_size).ok && ::fsync(fd) == 0;
}

bool hasSingleLink(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
}

bool scrubAndRemove(const QString& path)
{
    return WipeFile(path).ok;
}

} // namespace mv
