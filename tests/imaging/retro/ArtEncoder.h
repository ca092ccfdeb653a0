// Test writer of PFS: First Publisher clip art, standard and high resolution forms.
#pragma once

#include "../common/Bytes.h"

#include <functional>

namespace mv::imaging::test {

// A set bit is white.
inline QByteArray encodeArt(int width, int height, const std::function<bool(int, int)>& white)
{
    ByteWriter w;
    w.u16le(3).u16le(3 + width).u16le(0).u16le(height); // left, right, top, bottom
    for (int y = 0; y < height; ++y)
        w.bytes(packRowBits(width, (width + 15) / 16 * 2, [&](int x) { return white(x, y); }));
    return w.data();
}

// pad: the extra bytes at the end of each unpacked row (0 to 2).
inline QByteArray encodeArtHighRes(int width, int height, int pad, const std::function<bool(int, int)>& white)
{
    ByteWriter w;
    w.u16le(0xFFFF).u16le(300).u16le(300).u16le(width).u16le(height).u16le(1);
    for (int y = 0; y < height; ++y)
        w.bytes(packBits(packRowBits(width, (width + 7) / 8 + pad, [&](int x) { return white(x, y); })));
    return w.data();
}

} // namespace mv::imaging::test
