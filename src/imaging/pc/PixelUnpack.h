// Turns packed and planar pixel rows into one palette index per byte, the layout of
// QImage::Format_Indexed8. Most significant bit first, as every format of this family stores it.
#pragma once

#include <cstdint>

namespace mv::imaging {

// Expands width pixels of 1, 2, 4 or 8 bits from src into dst (one byte each).
void unpackPixels(const std::uint8_t* src, int bitsPerPixel, int width, std::uint8_t* dst);

// Ors bit plane number `plane` (0 = least significant) of width pixels into dst.
void addBitPlane(const std::uint8_t* src, int plane, int width, std::uint8_t* dst);

} // namespace mv::imaging
