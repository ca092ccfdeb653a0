// WordPerfect graphics (.wpg), versions 1 and 2: shows the largest bitmap of the file (the
// first of equal ones); the vector records are not drawn here.
//
// Bitmaps of 1, 2, 4 or 8 bits (and 24 in version 2) with the colours that the colour records
// before them set; entries they leave unset take black and white (1 bit), the CGA colours
// (2 bits), the EGA colours (4 bits) or a grey ramp (8 bits). Rotation of a bitmap is ignored.
// Bitmap data that ends early is refused ("the file is truncated").
#pragma once

#include "imaging/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeWpg(QByteArrayView data);
DecodeResult decodeWpg(QByteArrayView data);

struct WpgBitmap;
// The pixels of one bitmap record, as found by the record walker.
DecodeResult decodeWpgBitmap(const WpgBitmap& bitmap);

} // namespace mv::imaging
