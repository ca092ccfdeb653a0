// Truevision Targa: colour-mapped (types 1, 9), true colour 15/16/24/32 bits (types 2, 10),
// grey 8 bits or grey + alpha 16 bits (types 3, 11); RLE packets may run on into the next row.
// Both origins (bottom-left, top-left) and right-to-left rows; alpha from the descriptor's
// alpha bits. The file has no magic, so looksLikeTarga checks that every header field is
// consistent and that the file is long enough.
// A file that ends before the last pixel is refused as truncated (no partial picture).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeTarga(QByteArrayView data);
DecodeResult decodeTarga(QByteArrayView data);

} // namespace mv::imaging
