// A small PCX writer for the tests and the benchmark.
#pragma once

#include "ByteWriter.h"
#include "TestPictures.h"

namespace mv::imaging::test {

struct PcxOptions {
    int bits = 8, planes = 1;
    bool rle = true;
    bool tailPalette = true; // 8 bits x 1 plane: the 256 colours after 0x0C
    int extraLineBytes = 0;  // padding beyond the even line length
    int version = 5;
};

inline QByteArray pcxRle(const QByteArray& line)
{
    QByteArray out;
    for (qsizetype i = 0; i < line.size();) {
        qsizetype n = 1;
        while (i + n < line.size() && n < 63 && line[i + n] == line[i])
            ++n;
        const auto v = std::uint8_t(line[i]);
        if (n > 1 || v >= 0xC0)
            out.append(char(0xC0 | n));
        out.append(char(v));
        i += n;
    }
    return out;
}

// One plane-line of picture data: the bits of every pixel (bits 1..8), or a colour channel.
template <typename Value>
QByteArray pcxPlane(int width, int bytesPerLine, int bits, Value value)
{
    QByteArray line(bytesPerLine, '\0');
    for (int x = 0; x < width; ++x) {
        const int bit = x * bits;
        line[bit / 8] = char(line[bit / 8] | (value(x) << (8 - bits - bit % 8)));
    }
    return line;
}

inline QByteArray pcxHeader(int width, int height, const PcxOptions& o, int bytesPerLine, const QList<QRgb>& pal16)
{
    ByteWriter w;
    w.u8(0x0A).u8(o.version).u8(o.rle ? 1 : 0).u8(o.bits);
    w.u16le(0).u16le(0).u16le(width - 1).u16le(height - 1).u16le(72).u16le(72);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = i < pal16.size() ? pal16[i] : 0;
        w.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    }
    w.u8(0).u8(o.planes).u16le(bytesPerLine).u16le(1).u16le(0).u16le(0).zeros(54);
    return w.data();
}

// Palette pictures (bits x planes <= 8) take `indexed`; 8 x 3 and 8 x 4 take `rgb`.
inline QByteArray encodePcx(const PcxOptions& o, const IndexedPicture* indexed, const RgbPicture* rgb = nullptr)
{
    const int width = indexed ? indexed->width : rgb->width, height = indexed ? indexed->height : rgb->height;
    const int bytesPerLine = ((width * o.bits + 15) / 16) * 2 + o.extraLineBytes;
    const QList<QRgb> pal16 = indexed && o.bits * o.planes <= 4 ? indexed->palette : QList<QRgb>{};
    QByteArray out = pcxHeader(width, height, o, bytesPerLine, pal16);
    for (int y = 0; y < height; ++y) {
        QByteArray line;
        for (int p = 0; p < o.planes; ++p) {
            if (indexed) {
                const int shift = o.planes > 1 ? p : 0, mask = o.planes > 1 ? 1 : (1 << o.bits) - 1;
                line += pcxPlane(width, bytesPerLine, o.bits, [&](int x) { return (indexed->at(x, y) >> shift) & mask; });
            } else {
                const int shift = p == 3 ? 24 : 16 - 8 * p;
                line += pcxPlane(width, bytesPerLine, 8, [&](int x) { return int(rgb->at(x, y) >> shift) & 255; });
            }
        }
        out += o.rle ? pcxRle(line) : line;
    }
    if (indexed && o.bits == 8 && o.tailPalette) {
        ByteWriter w;
        w.u8(0x0C);
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < indexed->palette.size() ? indexed->palette[i] : 0;
            w.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
        }
        out += w.data();
    }
    return out;
}

} // namespace mv::imaging::test
