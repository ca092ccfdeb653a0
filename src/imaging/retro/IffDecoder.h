// Amiga IFF pictures (.iff, .lbm): "FORM" files of type ILBM (bit planes) or PBM (Deluxe Paint's
// one byte per pixel), uncompressed or ByteRun1.
//
// Decodes 1 to 8 planes with their CMAP (a grey ramp when there is none), 24 planes as true
// colour, extra half-brite (CAMG 0x80, 6 planes) and hold-and-modify (CAMG 0x800, 6 or 8 planes).
// A mask plane is skipped; a transparent colour is shown opaque. A file whose picture data ends
// early is refused ("the file is truncated"): no partial picture.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeIff(QByteArrayView data);
DecodeResult decodeIff(QByteArrayView data);

} // namespace mv::imaging
