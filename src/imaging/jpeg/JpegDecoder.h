// JPEG through libjpeg-turbo: baseline, progressive, greyscale, CMYK and YCCK (Adobe's
// inverted CMYK when its marker says so), decoded to RGB32, or to Indexed8 when the options
// ask for colour quantization (a JPEG dithering method other than None, or two-pass
// quantization). Downscaled decoding at n/8 follows DecodeOptions::targetSize, and
// DecodeOptions::embeddedPreview lets the EXIF thumbnail stand in (JpegPreview.h). A picture whose
// EXIF block records that it was stored on its side or mirrored is turned upright, and its
// width and height (and the target size) are those of the upright picture.
//
// Damage: a file cut short in its headers (before the first scan) is refused ("the file is
// truncated"). One cut short in its pixel data is shown as far as it goes, like other viewers
// do: the rows that are there decode, libjpeg fills the rest flat (a progressive file shows
// its earlier, coarser scans), and a file that only lacks its end marker decodes whole.
// Other corrupt-data warnings (stray bytes before a marker) are tolerated as libjpeg does;
// damage libjpeg cannot get past is an error.
// Pictures above the decode limits and progressive files of more than 1000 scans are refused
// before the pixels are decoded. Safe to call from any thread.
#pragma once

#include "imaging/base/DecodeOptions.h"
#include "imaging/base/Picture.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeJpeg(QByteArrayView data);

// width, height (of the full picture) and colorDepth (8 grey, 24 colour, 32 CMYK) filled.
DecodeResult decodeJpeg(QByteArrayView data, const DecodeOptions& options);

// Reads the header only: width, height and colorDepth, no pixels.
PictureInfo probeJpeg(QByteArrayView data);

} // namespace mv::imaging
