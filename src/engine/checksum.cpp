#include "checksum.h"

#include <cerrno>
#include <vector>

#include <zlib.h>

#include "last_error.h"
#include "source_file.h"

namespace mv::engine {

namespace {

constexpr std::size_t kReadBlock = 1 << 20;

} // namespace

std::uint32_t checksumFile(const char* path)
{
    SourceFile in;
    if (!in.open(path, "cannot read the file"))
        return 0;
    std::vector<std::uint8_t> buf(kReadBlock);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (;;) {
        const ssize_t n = readFull(in.fd(), buf.data(), buf.size());
        if (n < 0) {
            failWithErrno("cannot read the file", errno);
            return 0;
        }
        crc = crc32(crc, buf.data(), static_cast<uInt>(n));
        if (static_cast<std::size_t>(n) < buf.size())
            break;
    }
    return static_cast<std::uint32_t>(crc);
}

} // namespace mv::engine
