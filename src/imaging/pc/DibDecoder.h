// Headerless DIB (the bare BITMAPINFOHEADER / BITMAPCOREHEADER / OS/2 2.x header at offset 0,
// then the colour table, then the pixels; files starting with "BM" are not ours): 1, 4, 8,
// 16 (555 or bit fields), 24 and 32 bits (bit fields, alpha from an alpha mask); BI_RGB,
// BI_BITFIELDS, BI_RLE8 and BI_RLE4; bottom-up and top-down (negative height).
// A file that ends before the last row is refused as truncated (no partial picture).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeDib(QByteArrayView data);
DecodeResult decodeDib(QByteArrayView data);

} // namespace mv::imaging
