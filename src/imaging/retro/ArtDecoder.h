// PFS: First Publisher clip art (.art), 1 bit per pixel (1 = black), in its two known forms:
// - standard: four little-endian words left, right, top, bottom (width = right - left,
//   height = bottom - top), then uncompressed rows padded to an even number of bytes;
// - high resolution: the word 0xFFFF, two resolution words, width, height, one more word, then
//   rows packed one by one with PackBits. Rows carry 0 to 2 pad bytes that the header does not
//   give, so the row length is the unpacked size divided by the height, and must divide evenly.
//
// The format has no magic: looksLikeArt is strict (a standard file must be exactly the size its
// header implies; a high resolution file must unpack to whole rows). A file that ends early is
// refused ("the file is truncated").
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeArt(QByteArrayView data);
DecodeResult decodeArt(QByteArrayView data);

} // namespace mv::imaging
