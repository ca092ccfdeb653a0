// Small checks shared by the raster decoders.
#pragma once

#include <QImage>

#include <cstdint>

namespace mv::imaging {

// The depth we report for bits per pixel as stored: rounded up to 1, 4, 8, 16, 24 or 32.
int storedDepth(int bits);

// False when `available` compressed bytes cannot possibly expand to `needed` bytes, given the
// most one input byte can produce. Lets a decoder refuse a huge header on a tiny file before it
// allocates the picture.
bool canExpandTo(std::int64_t available, std::int64_t needed, std::int64_t maxExpansion);

// Many writers store an alpha channel of all zeros; showing such a picture as fully
// transparent would hide it, so it is made opaque instead. image must be ARGB32.
void opaqueIfAllTransparent(QImage& image);

} // namespace mv::imaging
