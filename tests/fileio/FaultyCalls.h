#pragma once
// System calls that fail as a failing disk would, in the spirit of KeePassXC's FailDevice: writes
// cut short, interrupted before they start, or refused with ENOSPC once N bytes are written in
// all; the n-th flush failing; putting a file in place refused; no unnamed files.

#include "fileio/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <fcntl.h>

namespace mvtest {

class FaultyCalls : public mv::fileio::SystemCalls {
public:
    std::size_t shortWrite = 0;  // a write takes at most this many bytes (0: all it is given)
    bool interrupt = false;      // every other write fails with EINTR before it starts
    std::int64_t fullAt = -1;    // ENOSPC once this many bytes are written in all (-1: never)
    int failFlush = 0;           // the n-th fsync or fdatasync fails with EIO (0: none)
    int placeError = 0;          // renameat2 and linkat, which put a file in place, fail with it
    int unlinkError = 0;         // unlinkat fails with it
    bool unnamedRefused = false; // O_TMPFILE is refused, as by a file system without it

    std::int64_t written = 0; // bytes that reached a file
    int interrupted = 0;
    int writes = 0; // write calls that wrote something

    ssize_t write(int fd, const void* buf, std::size_t len) override
    {
        return put(len, [&](std::size_t n) { return SystemCalls::write(fd, buf, n); });
    }
    ssize_t pwrite(int fd, const void* buf, std::size_t len, off_t offset) override
    {
        return put(len, [&](std::size_t n) { return SystemCalls::pwrite(fd, buf, n, offset); });
    }
    int fsync(int fd) override { return ++flushes_ == failFlush ? fail(EIO) : SystemCalls::fsync(fd); }
    int fdatasync(int fd) override
    {
        return ++flushes_ == failFlush ? fail(EIO) : SystemCalls::fdatasync(fd);
    }
    int openat(int dirFd, const char* path, int flags, mode_t mode) override
    {
        if (unnamedRefused && (flags & O_TMPFILE) == O_TMPFILE)
            return fail(EOPNOTSUPP);
        return SystemCalls::openat(dirFd, path, flags, mode);
    }
    int renameat2(int dirFd, const char* from, const char* to, unsigned flags) override
    {
        return placeError ? fail(placeError) : SystemCalls::renameat2(dirFd, from, to, flags);
    }
    int linkat(int fromDirFd, const char* from, int toDirFd, const char* to, int flags) override
    {
        return placeError ? fail(placeError) : SystemCalls::linkat(fromDirFd, from, toDirFd, to, flags);
    }
    int unlinkat(int dirFd, const char* name, int flags) override
    {
        return unlinkError ? fail(unlinkError) : SystemCalls::unlinkat(dirFd, name, flags);
    }

private:
    static int fail(int error)
    {
        errno = error;
        return -1;
    }
    template <typename Write>
    ssize_t put(std::size_t len, Write write)
    {
        if (interrupt && !justInterrupted_) { // the retry goes through
            justInterrupted_ = true;
            ++interrupted;
            return fail(EINTR);
        }
        justInterrupted_ = false;
        if (shortWrite)
            len = std::min(len, shortWrite);
        if (fullAt >= 0) {
            if (written >= fullAt)
                return fail(ENOSPC);
            len = std::min<std::size_t>(len, std::size_t(fullAt - written));
        }
        const ssize_t n = write(len);
        if (n > 0) {
            written += n;
            ++writes;
        }
        return n;
    }
    int flushes_ = 0;
    bool justInterrupted_ = false;
};

} // namespace mvtest
