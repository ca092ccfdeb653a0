// GEM raster (IMG): 1 to 8 bit planes with pattern runs, solid runs, bit strings and
// vertical replication of whole lines. One plane is black on white (1 = black); more planes
// use the XIMG palette (RGB in 0..1000) when the header carries one, else the Atari ST
// default colours for 2 and 4 planes (indexed by pixel value) or a ramp from white to black.
// A file that ends before the last line is refused as truncated (no partial picture).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeGemImg(QByteArrayView data);
DecodeResult decodeGemImg(QByteArrayView data);

} // namespace mv::imaging
