// ZSoft PCX: 1 bit x 1 plane (black and white); 1 bit x 2-4 planes, 2 and 4 bits x 1 plane
// (palette in the header, EGA colours for version 3 or an empty one); 8 bits x 1 plane (256
// colours after a 0x0C marker at the end, else grey); 8 bits x 3 planes (RGB) or x 4 (RGBA);
// RLE (encoding 1) or raw (encoding 0).
// A file that ends before the last row is refused as truncated (no partial picture).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikePcx(QByteArrayView data);
DecodeResult decodePcx(QByteArrayView data);

} // namespace mv::imaging
