// Small device-independent bitmaps for the blit tests: header and colour table apart from
// the bits, as enhanced metafile records store them.
#pragma once

#include "WmfWriter.h"

#include <QByteArray>

#include <functional>

namespace mv::imaging::test {

struct DibParts {
    QByteArray header; // with its colour table
    QByteArray bits;
    [[nodiscard]] QByteArray packed() const { return header + bits; }
};

inline QByteArray dibHeader(int w, int h, int bitCount, int colours)
{
    QByteArray d;
    WmfWriter::appendU32(d, 40);
    WmfWriter::appendU32(d, std::uint32_t(w));
    WmfWriter::appendU32(d, std::uint32_t(h));
    WmfWriter::appendU16(d, 1);
    WmfWriter::appendU16(d, bitCount);
    for (const std::uint32_t v : {0u, 0u, 0u, 0u, std::uint32_t(colours), 0u})
        WmfWriter::appendU32(d, v);
    return d;
}

// A 1-bit bottom-up bitmap; bit(x, y) with y counted from the top. table: the colour table
// as stored (two colours, or two 16-bit palette indexes).
inline DibParts monoDib(int w, int h, const QByteArray& table, const std::function<bool(int, int)>& bit)
{
    DibParts d{dibHeader(w, h, 1, 2) + table, {}};
    const int stride = (w + 31) / 32 * 4;
    for (int row = h - 1; row >= 0; --row) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            if (bit(x, row))
                line[x / 8] = char(line[x / 8] | (0x80 >> (x % 8)));
        }
        d.bits += line;
    }
    return d;
}

// A 32-bit bottom-up bitmap of premultiplied pixels px(x, y) = 0xAARRGGBB, y from the top.
inline DibParts argbDib(int w, int h, const std::function<std::uint32_t(int, int)>& px)
{
    DibParts d{dibHeader(w, h, 32, 0), {}};
    for (int row = h - 1; row >= 0; --row) {
        for (int x = 0; x < w; ++x)
            WmfWriter::appendU32(d.bits, px(x, row));
    }
    return d;
}

inline QByteArray rgbTable(std::initializer_list<std::uint32_t> rgb)
{
    QByteArray t;
    for (const std::uint32_t c : rgb)
        WmfWriter::appendU32(t, c); // 0x00RRGGBB is stored blue, green, red, 0
    return t;
}

// A LOGPALETTE of two colours: red, then green.
inline QByteArray redGreenPalette()
{
    QByteArray pal;
    WmfWriter::appendU16(pal, 0x300);
    WmfWriter::appendU16(pal, 2);
    pal.append("\xff\x00\x00\x00\x00\xff\x00\x00", 8);
    return pal;
}

// A 4 x 4 monochrome bitmap whose colour table holds palette indexes 0 and 1: its top half
// is set (entry 1), its bottom half clear (entry 0).
inline DibParts topHalfPaletteIndexed()
{
    QByteArray indexes;
    WmfWriter::appendU16(indexes, 0);
    WmfWriter::appendU16(indexes, 1);
    return monoDib(4, 4, indexes, [](int, int y) { return y < 2; });
}

} // namespace mv::imaging::test
