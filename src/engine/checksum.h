#ifndef MVENGINE_CHECKSUM_H
#define MVENGINE_CHECKSUM_H

#include <cstddef>
#include <cstdint>

namespace mv::engine {

// CRC-32 of the whole file; 0 with the reason set when it cannot be read.
std::uint32_t checksumFile(const char* path);

// CRC-32 of the whole open file, read from its start; false with the reason set when it
// cannot be read (a failure is never confused with a CRC of 0).
bool checksumFd(int fd, std::uint32_t& crc);

// CRC-32 of bytes in memory.
std::uint32_t checksumBytes(const std::uint8_t* data, std::size_t len);

} // namespace mv::engine

#endif
