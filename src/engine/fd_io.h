// Whole reads and writes on file descriptors, riding out EINTR and short transfers.
#ifndef MVENGINE_FD_IO_H
#define MVENGINE_FD_IO_H

#include <cstddef>
#include <cstdint>

#include <sys/types.h>

namespace mv::engine {

// Owns a descriptor; closes it unless released.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports the result, which on some file systems is the first sign of a
    // failed write.
    bool close();

private:
    int fd_ = -1;
};

// Reads until len bytes or end of file. Returns the count (less than len only at end of
// file), or -1 with errno set.
ssize_t readFull(int fd, void* buf, std::size_t len);

// Writes all len bytes at the current offset; false with errno set otherwise.
bool writeFull(int fd, const void* buf, std::size_t len);

// Writes all len bytes at offset.
bool pwriteFull(int fd, const void* buf, std::size_t len, off_t offset);

// fsync of the folder holding path, so a new name there survives a crash.
bool syncParentFolder(const char* path);

} // namespace mv::engine

#endif
