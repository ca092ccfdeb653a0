#include "fd_io.h"

#include <cerrno>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

namespace mv::engine {

Fd::~Fd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

Fd& Fd::operator=(Fd&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool Fd::close()
{
    const int fd = fd_;
    fd_ = -1;
    // Linux frees the descriptor even when close fails, so it is never retried.
    return fd < 0 || ::close(fd) == 0 || errno == EINTR;
}

ssize_t readFull(int fd, void* buf, std::size_t len)
{
    auto* at = static_cast<std::uint8_t*>(buf);
    std::size_t done = 0;
    while (done < len) {
        const ssize_t n = ::read(fd, at + done, len - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

namespace {

// Hands put() the rest of buf until all of it is taken. put(at, left, done) acts like
// write(2); done is what is already written, for writers that keep their own offset.
template <typename Put>
bool putAll(const void* buf, std::size_t len, Put put)
{
    const auto* at = static_cast<const std::uint8_t*>(buf);
    std::size_t done = 0;
    while (done < len) {
        const ssize_t n = put(at + done, len - done, done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool writeFull(int fd, const void* buf, std::size_t len)
{
    return putAll(buf, len, [fd](const std::uint8_t* at, std::size_t left, std::size_t) {
        return ::write(fd, at, left);
    });
}

bool pwriteFull(int fd, const void* buf, std::size_t len, off_t offset)
{
    return putAll(buf, len, [fd, offset](const std::uint8_t* at, std::size_t left, std::size_t done) {
        return ::pwrite(fd, at, left, offset + static_cast<off_t>(done));
    });
}

bool syncParentFolder(const char* path)
{
    const std::string_view whole(path);
    const auto slash = whole.find_last_of('/');
    const std::string folder(slash == std::string_view::npos ? std::string_view(".")
                                                             : whole.substr(0, slash == 0 ? 1 : slash));
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return true; // nothing we can sync; the file itself is already on disk
    // Some file systems cannot sync a folder; that is no reason to fail the file.
    return ::fsync(dir.get()) == 0 || errno == EINVAL || errno == EROFS;
}

} // namespace mv::engine
