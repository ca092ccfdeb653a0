// The system calls through which the safe-write layer writes, flushes and names files. Every
// function of this layer that does so takes them as an argument, defaulting to the real ones, so
// that a test can hand one call a fault (a full disk, a failing flush, an interrupted write)
// without touching any other file operation of the process.
#pragma once

#include <cstddef>

#include <sys/types.h>

namespace mv::fileio {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    // Each acts as the system call of its name: its result, with errno set on failure.
    virtual int openat(int dirFd, const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* buf, std::size_t len);
    virtual ssize_t pwrite(int fd, const void* buf, std::size_t len, off_t offset);
    virtual int fsync(int fd);
    virtual int fdatasync(int fd);
    // Within one folder: renameat2(dirFd, from, dirFd, to, flags); renameat when flags are 0.
    virtual int renameat2(int dirFd, const char* from, const char* to, unsigned flags);
    virtual int linkat(int fromDirFd, const char* from, int toDirFd, const char* to, int flags);
    virtual int unlinkat(int dirFd, const char* name, int flags);
};

// The real calls. They hold no state, so one object serves every thread.
SystemCalls& systemCalls();

} // namespace mv::fileio
