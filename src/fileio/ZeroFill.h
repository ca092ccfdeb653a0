#pragma once

#include "fileio/Status.h"
#include "fileio/SystemCalls.h"

#include <cstdint>
#include <functional>

namespace mv::fileio {

// Zeros are written in pieces of this size; the last piece of a stretch is shorter.
inline constexpr int kWipeChunk = 32000;

// Overwrites the first `size` bytes of the open file `fd` with zeros, in one pass. Only the
// stretches that hold data are written: a hole has nothing to destroy, and filling it would
// make a sparse file as large on disk as it claims to be, which may not fit.
// `onChunk`, when set, is told the length of each piece once it is wholly written.
Status zeroFill(int fd, std::int64_t size, const std::function<void(int)>& onChunk = {},
                SystemCalls& calls = systemCalls());

// Zeros the whole open file and flushes the zeros, so that a cut or a removal that follows
// cannot drop them unwritten.
Status zeroWholeFile(int fd, SystemCalls& calls = systemCalls());

} // namespace mv::fileio
