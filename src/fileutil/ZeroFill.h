#pragma once

#include "fileutil/FileResult.h"

#include <cstdint>
#include <functional>

namespace mv {

// Zeros are written in pieces of this size; the last piece is shorter.
inline constexpr int kWipeChunk = 32000;

// Overwrites the first `size` bytes of the open file `fd` with zeros from offset 0, in one
// pass. `onChunk`, when set, is told the length of each piece once it is wholly written.
// `fault`, when it returns an errno, makes the write fail as if the system had said so.
FileResult zeroFill(int fd, int64_t size, const std::function<void(int)>& onChunk = {},
                    const std::function<int()>& fault = {});

} // namespace mv
