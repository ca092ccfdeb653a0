// What a camera records in a JPEG's EXIF block (APP1) that the viewer uses: the orientation
// and the small JPEG copy of the picture. Read with bounds checks only: a damaged or lying
// block reads as upright and without a copy.
#pragma once

#include <QByteArrayView>

namespace mv::imaging {

// The orientation tag (0x0112) of an APP1 segment's payload ("Exif\0\0" and a TIFF
// structure): 1..8 as stored; 1 when the payload is not EXIF, the tag is missing, or anything
// on the way to it does not hold together.
int exifOrientation(QByteArrayView app1);

// The JPEG thumbnail of the second image directory (IFD1: JPEGInterchangeFormat and its
// length), as a view into app1; empty when there is none, it is stored uncompressed, or it
// does not lie whole inside the block. It is stored turned as the picture is.
QByteArrayView exifThumbnail(QByteArrayView app1);

} // namespace mv::imaging
