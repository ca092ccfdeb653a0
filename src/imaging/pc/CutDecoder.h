// Dr. Halo CUT: width, height, a reserved word, then per row a byte count and runs (0 ends
// the row, high bit set repeats the next byte, else that many bytes follow), 8 bits per pixel.
// The colours come from the Dr. Halo .PAL file beside it ("AH" header, 16-bit R, G, B
// triples up to the header's maxima, in 512-byte blocks); without one, or when it is not a
// valid palette file, a grey ramp. A row whose runs fall short keeps index 0.
// A file that ends before the last row is refused as truncated (no partial picture).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>
#include <QList>
#include <QRgb>

namespace mv::imaging {

// The file has no magic: true only when the header is sane and the first row decodes to
// exactly the picture's width.
bool looksLikeCut(QByteArrayView data);
DecodeResult decodeCut(QByteArrayView data, QByteArrayView palette);

// The 256 colours of a Dr. Halo palette file; empty when it is not one.
QList<QRgb> readHaloPalette(QByteArrayView palette);

} // namespace mv::imaging
