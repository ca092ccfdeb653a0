// Test encoder of PFS: First Publisher clip art, standard and high resolution forms.
#pragma once

#include "ByteWriter.h"
#include "PackBitsEncoder.h"

#include <functional>

namespace mv::imaging::test {

inline QByteArray encodeArt(int width, int height, const std::function<bool(int, int)>& black)
{
    ByteWriter w;
    w.u16le(3); // left
    w.u16le(3 + width);
    w.u16le(0);
    w.u16le(height);
    const int rowBytes = (width + 15) / 16 * 2;
    for (int y = 0; y < height; ++y)
        w.append(packRowBits(width, rowBytes, [&](int x) { return black(x, y); }));
    return w.bytes;
}

// pad: the extra bytes at the end of each unpacked row (0 to 2).
inline QByteArray encodeArtHighRes(int width, int height, int pad,
                                   const std::function<bool(int, int)>& black)
{
    ByteWriter w;
    w.u16le(0xFFFF);
    w.u16le(300);
    w.u16le(300);
    w.u16le(width);
    w.u16le(height);
    w.u16le(1);
    const int rowBytes = (width + 7) / 8 + pad;
    for (int y = 0; y < height; ++y)
        w.append(packBits(packRowBits(width, rowBytes, [&](int x) { return black(x, y); })));
    return w.bytes;
}

} // namespace mv::imaging::test
