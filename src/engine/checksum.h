#ifndef MVENGINE_CHECKSUM_H
#define MVENGINE_CHECKSUM_H

#include <cstdint>

namespace mv::engine {

// CRC-32 of the whole file; 0 with the reason set when it cannot be read.
std::uint32_t checksumFile(const char* path);

} // namespace mv::engine

#endif
