// Sun Raster (magic 0x59a66a95): depth 1, 8, 24 and 32; old, standard and RGB types, and the
// byte-encoded RLE type (escape 0x80); RGB colour maps. Rows are padded to 16 bits.
// Without a colour map, 1-bit pictures are black on white (1 = black) and 8-bit are grey.
// A file that ends before the last row is refused as truncated (no partial picture).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeSunRaster(QByteArrayView data);
DecodeResult decodeSunRaster(QByteArrayView data);

} // namespace mv::imaging
