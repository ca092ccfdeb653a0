// The types Qt's own readers decode (PNG, GIF and its frames, TIFF, BMP with its RLE and OS/2
// variants), with our decode limits applied before the pixels are allocated.
#pragma once

#include "imaging/base/DecodeResult.h"
#include "imaging/base/Picture.h"

#include <QByteArrayView>

namespace mv::imaging {

// Content tests of the types Qt reads for us.
bool looksLikePng(QByteArrayView data);
bool looksLikeGif(QByteArrayView data);
bool looksLikeTiff(QByteArrayView data);
bool looksLikeBmp(QByteArrayView data); // "BM" and a whole file header

// format is Qt's name for the reader: "png", "gif", "tiff", "bmp". colorDepth is that of
// the decoded buffer; the caller replaces it with the stored depth where it knows better.
// A picture stored with an orientation (TIFF) is turned upright. allFrames: an animation's
// further frames are read too (QtFrames.h).
DecodeResult decodeWithQt(QByteArrayView data, const char* format, bool allFrames = false);

// The size from the header alone (no depth); the reason when the reader cannot tell.
PictureInfo probeWithQt(QByteArrayView data, const char* format);

} // namespace mv::imaging
