// PC Paint / Pictor pictures (.pic), magic 0x1234 (little-endian). After the 17-byte header
// and its palette come the pixels, bottom row first: either packed (one plane of 1, 2, 4 or 8
// bits a pixel) or planar (2 to 4 planes of 1 bit, each plane stored whole after the one
// before, plane 0 giving bit 0). They are uncompressed when the block count is 0, else split
// in blocks of runs: a block header (size including the header, unpacked size, marker byte),
// then bytes, where marker, n, value repeats value n times and marker, 0, n (16 bits), value
// does the same for long runs.
//
// Only the extended header of PC Paint 2 and later (palette flag 0xFF) is read. Without a
// stored palette the CGA (black, cyan, red, grey), EGA or black-and-white defaults apply, and a
// grey ramp for 8 bits. Pixel data that ends early is refused ("the file is truncated").
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikePic(QByteArrayView data);
DecodeResult decodePic(QByteArrayView data);

} // namespace mv::imaging
