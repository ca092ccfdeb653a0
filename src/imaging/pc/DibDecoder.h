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

// Whether a BMP file ("BM", then a DIB) holds RLE8 or RLE4 pixels.
bool isRleBmp(QByteArrayView file);
// The DIB of such a file, with its pixels where the file header says they start. Qt's reader
// leaves the pixels an RLE delta skips as the memory happened to hold them, so one file gave
// other pixels on every reading; here they are index 0, as in a bare DIB.
DecodeResult decodeRleBmp(QByteArrayView file);

} // namespace mv::imaging
