#include "checksum.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include <zlib.h>

#include "last_error.h"
#include "source_file.h"

namespace mv::engine {

namespace {

constexpr std::size_t kReadBlock = 1 << 20;

bool checksumOf(SourceFile& in, std::uint32_t& result)
{
    std::vector<std::uint8_t> buf(kReadBlock);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (;;) {
        const ssize_t n = in.read(buf.data(), buf.size());
        if (n < 0) {
            failWithErrno("cannot read the file", errno);
            return false;
        }
        crc = crc32(crc, buf.data(), static_cast<uInt>(n));
        if (static_cast<std::size_t>(n) < buf.size())
            break;
    }
    result = static_cast<std::uint32_t>(crc);
    return true;
}

} // namespace

std::uint32_t checksumFile(const char* path)
{
    SourceFile in;
    std::uint32_t crc = 0;
    return in.open(path, "cannot read the file") && checksumOf(in, crc) ? crc : 0;
}

bool checksumFd(int fd, std::uint32_t& crc)
{
    SourceFile in;
    return in.adopt(fd, "cannot read the file") && checksumOf(in, crc);
}

std::uint32_t checksumBytes(const std::uint8_t* data, std::size_t len)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes at most 4 GiB minus one per call.
    constexpr std::size_t kStep = std::size_t(1) << 30;
    for (std::size_t off = 0; off < len; off += kStep)
        crc = crc32(crc, data + off, static_cast<uInt>(std::min(kStep, len - off)));
    return static_cast<std::uint32_t>(crc);
}

} // namespace mv::engine
