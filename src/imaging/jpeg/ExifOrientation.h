// The orientation a camera records in a JPEG's EXIF block (APP1), read with bounds checks
// only as far as the first image directory: a damaged or lying block reads as upright.
#pragma once

#include <QByteArrayView>

namespace mv::imaging {

// The orientation tag (0x0112) of an APP1 segment's payload ("Exif\0\0" and a TIFF
// structure): 1..8 as stored; 1 when the payload is not EXIF, the tag is missing, or anything
// on the way to it does not hold together.
int exifOrientation(QByteArrayView app1);

} // namespace mv::imaging
