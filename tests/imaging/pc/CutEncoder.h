// A small Dr. Halo CUT and PAL writer for the tests and the benchmark.
#pragma once

#include "ByteWriter.h"
#include "TestPictures.h"

namespace mv::imaging::test {

inline QByteArray cutRow(const IndexedPicture& p, int y)
{
    QByteArray runs;
    for (int x = 0; x < p.width;) {
        int n = 1;
        while (x + n < p.width && n < 127 && p.at(x + n, y) == p.at(x, y))
            ++n;
        if (n >= 2) {
            runs.append(char(0x80 | n)).append(char(p.at(x, y)));
        } else {
            while (x + n < p.width && n < 127 && (x + n + 1 >= p.width || p.at(x + n, y) != p.at(x + n + 1, y)))
                ++n;
            runs.append(char(n));
            for (int i = 0; i < n; ++i)
                runs.append(char(p.at(x + i, y)));
        }
        x += n;
    }
    runs.append('\0');
    return ByteWriter().u16le(int(runs.size())).bytes(runs).data();
}

inline QByteArray encodeCut(const IndexedPicture& p)
{
    ByteWriter w;
    w.u16le(p.width).u16le(p.height).u16le(0);
    for (int y = 0; y < p.height; ++y)
        w.bytes(cutRow(p, y));
    return w.data();
}

// Entries scaled to 0..maximum; triples never straddle a 512-byte block.
inline QByteArray encodeHaloPalette(const QList<QRgb>& colours, int maximum)
{
    ByteWriter w;
    w.bytes("AH").u16le(0xE3).u16le(0).u8('P').u8(0).u16le(0).u16le(0);
    w.u16le(int(colours.size()) - 1).u16le(maximum).u16le(maximum).u16le(maximum);
    w.bytes("Dr. Halo").zeros(12);
    for (QRgb c : colours) {
        if (w.size() % 512 > 506)
            w.zeros(512 - w.size() % 512);
        w.u16le(qRed(c) * maximum / 255).u16le(qGreen(c) * maximum / 255).u16le(qBlue(c) * maximum / 255);
    }
    return w.data();
}

} // namespace mv::imaging::test
