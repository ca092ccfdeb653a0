#include "fileio/MemoryFile.h"

#include "fileio/FdIo.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace mv::fileio {

namespace {

constexpr int kSizeSeals = F_SEAL_SHRINK | F_SEAL_GROW;

} // namespace

UniqueFd newMemoryFile(const char* name, std::uint64_t size)
{
    UniqueFd fd(::memfd_create(name, MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (fd.valid() && ::ftruncate(fd.get(), off_t(size)) != 0)
        fd.reset();
    return fd;
}

bool sealMemoryFile(int fd, bool writable)
{
    const int seals = kSizeSeals | F_SEAL_SEAL | (writable ? 0 : F_SEAL_WRITE);
    return ::fcntl(fd, F_ADD_SEALS, seals) == 0;
}

UniqueFd sealedMemoryFile(const char* name, std::span<const Part> parts, bool writable)
{
    std::uint64_t total = 0;
    for (const Part& part : parts)
        total += part.size;
    UniqueFd fd = newMemoryFile(name, total);
    if (!fd.valid())
        return fd;
    std::uint64_t offset = 0;
    for (const Part& part : parts) {
        if (!pwriteFull(fd.get(), part.data, part.size, offset)) {
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

UniqueFd readOnlyDescriptor(int fd)
{
    // Opening the descriptor's /proc entry makes a new open file with its own access mode;
    // dup() would share the writable one.
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

void wipeMemoryFile(int fd, std::uint64_t size)
{
    static const char zeros[64 * 1024] = {};
    for (std::uint64_t done = 0; done < size;) {
        const std::uint64_t n = std::min<std::uint64_t>(size - done, sizeof zeros);
        if (!pwriteFull(fd, zeros, n, done))
            return;
        done += n;
    }
}

MappedMemoryFile::~MappedMemoryFile()
{
    unmap();
}

MappedMemoryFile::MappedMemoryFile(MappedMemoryFile&& other) noexcept
    : fd_(std::move(other.fd_)), base_(std::exchange(other.base_, nullptr)),
      size_(std::exchange(other.size_, 0)), mapped_(std::exchange(other.mapped_, 0))
{
}

MappedMemoryFile& MappedMemoryFile::operator=(MappedMemoryFile&& other) noexcept
{
    if (this != &other) {
        unmap();
        fd_ = std::move(other.fd_);
        base_ = std::exchange(other.base_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
    }
    return *this;
}

void MappedMemoryFile::unmap()
{
    if (base_)
        ::munmap(base_, std::size_t(mapped_));
    base_ = nullptr;
    mapped_ = 0;
}

MappedMemoryFile MappedMemoryFile::create(const char* name, std::uint64_t size)
{
    MappedMemoryFile file;
    const std::uint64_t length = std::max<std::uint64_t>(size, 1);
    file.fd_ = newMemoryFile(name, length);
    if (!file.fd_.valid())
        return file;
    void* base = ::mmap(nullptr, std::size_t(length), PROT_READ | PROT_WRITE, MAP_SHARED, file.fd_.get(), 0);
    if (base == MAP_FAILED) {
        const int error = errno;
        file.fd_.reset();
        errno = error;
        return file;
    }
    file.base_ = base;
    file.mapped_ = length;
    file.size_ = size;
    return file;
}

bool MappedMemoryFile::shrink(std::uint64_t size)
{
    if (size > size_)
        return false;
    // The mapping keeps its length: pages past the new end are never touched again.
    if (::ftruncate(fd_.get(), off_t(std::max<std::uint64_t>(size, 1))) != 0)
        return false;
    size_ = size;
    return true;
}

bool MappedMemoryFile::seal(bool writable)
{
    if (!valid())
        return false;
    if (writable)
        return sealMemoryFile(fd_.get(), true);
    const std::uint64_t length = std::max<std::uint64_t>(size_, 1);
    unmap();
    if (!sealMemoryFile(fd_.get(), false))
        return false;
    // Populated at once: a reader of the whole file takes no fault per page.
    void* base = ::mmap(nullptr, std::size_t(length), PROT_READ, MAP_SHARED | MAP_POPULATE, fd_.get(), 0);
    if (base == MAP_FAILED)
        return false;
    base_ = base;
    mapped_ = length;
    return true;
}

} // namespace mv::fileio
