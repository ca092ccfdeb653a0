// WordPerfect graphics (.wpg), versions 1 and 2: the raster and the vector way in.
//
// decodeWpg shows the largest bitmap of the file (the first of equal ones); the vector records
// are not drawn there. Bitmaps of 1, 2, 4 or 8 bits (and 24 in version 2) with the colours
// that the colour records before them set; entries they leave unset take black and white
// (1 bit), the CGA colours (2 bits), the EGA colours (4 bits) or a grey ramp (8 bits).
// Rotation of a bitmap is ignored. Bitmap data that ends early is refused ("the file is
// truncated").
//
// decodeWpgPicture is the file as the viewer sees it: a file with vector records becomes a
// drawing (colour depth 24) that keeps its records and draws at any size; a file with only
// bitmaps stays a raster picture of its largest bitmap, as decodeWpg gives it. The natural size
// comes from the start record: 1/1200 inch (version 1), or the extent in the stated units per
// inch (version 2), shown at 96 dpi. A start record of zero size or units is refused. A damaged
// record ends the drawing with what came before it.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeWpg(QByteArrayView data);
DecodeResult decodeWpg(QByteArrayView data);
DecodeResult decodeWpgPicture(QByteArrayView data);

} // namespace mv::imaging
