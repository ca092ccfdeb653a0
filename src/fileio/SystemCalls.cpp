#include "fileio/SystemCalls.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace mv::fileio {

int SystemCalls::openat(int dirFd, const char* path, int flags, mode_t mode)
{
    return ::openat(dirFd, path, flags, mode);
}

ssize_t SystemCalls::write(int fd, const void* buf, std::size_t len)
{
    return ::write(fd, buf, len);
}

ssize_t SystemCalls::pwrite(int fd, const void* buf, std::size_t len, off_t offset)
{
    return ::pwrite(fd, buf, len, offset);
}

int SystemCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int SystemCalls::fdatasync(int fd)
{
    return ::fdatasync(fd);
}

int SystemCalls::renameat2(int dirFd, const char* from, const char* to, unsigned flags)
{
    // Without flags the plain call, which every kernel and sandbox allows.
    return flags ? ::renameat2(dirFd, from, dirFd, to, flags) : ::renameat(dirFd, from, dirFd, to);
}

int SystemCalls::linkat(int fromDirFd, const char* from, int toDirFd, const char* to, int flags)
{
    return ::linkat(fromDirFd, from, toDirFd, to, flags);
}

int SystemCalls::unlinkat(int dirFd, const char* name, int flags)
{
    return ::unlinkat(dirFd, name, flags);
}

SystemCalls& systemCalls()
{
    static SystemCalls real;
    return real;
}

} // namespace mv::fileio
