#include "sandbox/MemoryFile.h"

#include "fileio/FdIo.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace mv::sandbox {

namespace {

constexpr int kSizeSeals = F_SEAL_SHRINK | F_SEAL_GROW;

} // namespace

fileio::UniqueFd newMemoryFile(const char* name, std::uint64_t size)
{
    fileio::UniqueFd fd(::memfd_create(name, MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (fd.valid() && ::ftruncate(fd.get(), off_t(size)) != 0)
        fd.reset();
    return fd;
}

bool sealMemoryFile(int fd, bool writable)
{
    const int seals = kSizeSeals | F_SEAL_SEAL | (writable ? 0 : F_SEAL_WRITE);
    return ::fcntl(fd, F_ADD_SEALS, seals) == 0;
}

fileio::UniqueFd sealedMemoryFile(const char* name, std::span<const Part> parts, bool writable)
{
    std::uint64_t total = 0;
    for (const Part& part : parts)
        total += part.size;
    fileio::UniqueFd fd = newMemoryFile(name, total);
    if (!fd.valid())
        return fd;
    std::uint64_t offset = 0;
    for (const Part& part : parts) {
        if (!fileio::pwriteFull(fd.get(), part.data, part.size, offset)) {
            const int error = errno ? errno : ENOSPC;
            fd.reset();
            errno = error;
            return fd;
        }
        offset += part.size;
    }
    if (!sealMemoryFile(fd.get(), writable))
        fd.reset();
    return fd;
}

bool sizeIsSealed(int fd)
{
    const int seals = ::fcntl(fd, F_GET_SEALS);
    return seals >= 0 && (seals & kSizeSeals) == kSizeSeals;
}

bool contentsAreSealed(int fd)
{
    const int seals = ::fcntl(fd, F_GET_SEALS);
    return seals >= 0 && (seals & (kSizeSeals | F_SEAL_WRITE)) == (kSizeSeals | F_SEAL_WRITE);
}

void wipeMemoryFile(int fd, std::uint64_t size)
{
    static const char zeros[64 * 1024] = {};
    for (std::uint64_t done = 0; done < size;) {
        const std::uint64_t n = std::min<std::uint64_t>(size - done, sizeof zeros);
        if (!fileio::pwriteFull(fd, zeros, n, done))
            return;
        done += n;
    }
}

} // namespace mv::sandbox
