// Turning stored bits into one palette index per byte, for every decoder: bit planes (Amiga,
// EGA, PCX, GEM) and packed pixels of 1, 2, 4 or 8 bits, most significant bit first. Works
// eight pixels at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mv::imaging {

// out[x] = bit x of plane 0 | bit x of plane 1 << 1 ... for x < width. Plane p of the row
// starts at row + p * planeStride; planes is 1..8.
void planesToIndices(const std::uint8_t* row, std::ptrdiff_t planeStride, int planes, int width,
                     std::uint8_t* out);

// out[x] = the x-th pixel of bitsPerPixel (1, 2, 4 or 8) bits, first pixel in the high bits.
void packedToIndices(const std::uint8_t* row, int bitsPerPixel, int width, std::uint8_t* out);

} // namespace mv::imaging
