// The test writers of PCX, Targa and Sun Raster pictures.
#pragma once

#include "../common/Bytes.h"
#include "../common/Checks.h"

#include <algorithm>

namespace mv::imaging::test {

struct PcxOptions {
    int bits = 8, planes = 1;
    bool rle = true;
    bool tailPalette = true; // 8 bits x 1 plane: the 256 colours after 0x0C
    int extraLineBytes = 0;  // padding beyond the even line length
    int version = 5;
};

// Every value in a run (of 1 to 63); a count byte before runs of two or more, or a value that
// would read as one.
inline QByteArray pcxRle(const QByteArray& line)
{
    QByteArray out;
    const auto run = [&](qsizetype at, qsizetype n) {
        if (n > 1 || std::uint8_t(line[at]) >= 0xC0)
            out.append(char(0xC0 | n));
        out.append(line[at]);
    };
    splitRuns(
        line.size(), 1, 63, 1, [&](qsizetype a, qsizetype b) { return line[a] == line[b]; }, run, run);
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

inline QByteArray pcxHeader(int width, int height, const PcxOptions& o, int bytesPerLine,
                            const QList<QRgb>& pal16)
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
inline QByteArray encodePcx(const PcxOptions& o, const IndexedPicture* indexed,
                            const RgbPicture* rgb = nullptr)
{
    const int width = indexed ? indexed->width : rgb->width, height = indexed ? indexed->height : rgb->height;
    const int bytesPerLine = ((width * o.bits + 15) / 16) * 2 + o.extraLineBytes;
    const QList<QRgb> pal16 = indexed && o.bits * o.planes <= 4 ? indexed->palette : QList<QRgb> {};
    QByteArray out = pcxHeader(width, height, o, bytesPerLine, pal16);
    for (int y = 0; y < height; ++y) {
        QByteArray line;
        for (int p = 0; p < o.planes; ++p) {
            if (indexed) {
                const int shift = o.planes > 1 ? p : 0, mask = o.planes > 1 ? 1 : (1 << o.bits) - 1;
                line += pcxPlane(width, bytesPerLine, o.bits,
                                 [&](int x) { return (indexed->at(x, y) >> shift) & mask; });
            } else {
                const int shift = p == 3 ? 24 : 16 - 8 * p;
                line += pcxPlane(width, bytesPerLine, 8,
                                 [&](int x) { return int(rgb->at(x, y) >> shift) & 255; });
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

struct TargaOptions {
    int type = 2; // 1 mapped, 2 true colour, 3 grey; +8 for RLE
    int depth = 24;
    int mapEntryBits = 24, mapFirst = 0;
    int alphaBits = 0;
    bool topDown = false, rightToLeft = false;
    bool rleAcrossRows = false;
    QByteArray id = {};
    bool footer = false;
};

inline void targaPixel(ByteWriter& w, QRgb c, int bits)
{
    if (bits == 15 || bits == 16) {
        const int v = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3) |
                      (qAlpha(c) >= 128 ? 0x8000 : 0);
        w.u16le(v);
        return;
    }
    w.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
    if (bits == 32)
        w.u8(qAlpha(c));
}

// Packs pixels (each `bytes` long, back to back) into run and raw packets.
inline QByteArray targaRle(const QByteArray& raw, int bytes)
{
    QByteArray out;
    splitRuns(
        raw.size() / bytes, 2, 128, 128,
        [&](qsizetype a, qsizetype b) { return raw.mid(a * bytes, bytes) == raw.mid(b * bytes, bytes); },
        [&](qsizetype at, qsizetype n) {
            out.append(char(0x80 | (n - 1))).append(raw.mid(at * bytes, bytes));
        },
        [&](qsizetype at, qsizetype n) { out.append(char(n - 1)).append(raw.mid(at * bytes, n * bytes)); });
    return out;
}

// Mapped and grey files take `indexed` (grey: the index is the level); true colour `rgb`.
inline QByteArray encodeTarga(const TargaOptions& o, const IndexedPicture* indexed,
                              const RgbPicture* rgb = nullptr)
{
    const int width = indexed ? indexed->width : rgb->width, height = indexed ? indexed->height : rgb->height;
    const bool mapped = (o.type & 7) == 1;
    const int mapLength = mapped ? int(indexed->palette.size()) : 0;
    ByteWriter w;
    w.u8(int(o.id.size())).u8(mapped ? 1 : 0).u8(o.type).u16le(o.mapFirst).u16le(mapLength);
    w.u8(mapped ? o.mapEntryBits : 0);
    w.u16le(0).u16le(0).u16le(width).u16le(height).u8(o.depth);
    w.u8(o.alphaBits | (o.rightToLeft ? 0x10 : 0) | (o.topDown ? 0x20 : 0)).bytes(o.id);
    for (int i = 0; i < mapLength; ++i)
        targaPixel(w, indexed->palette[i], o.mapEntryBits);
    const int bytes = (o.depth + 7) / 8;
    QByteArray all;
    for (int row = 0; row < height; ++row) {
        const int y = o.topDown ? row : height - 1 - row;
        ByteWriter line;
        for (int i = 0; i < width; ++i) {
            const int x = o.rightToLeft ? width - 1 - i : i;
            if (indexed)
                line.u8(indexed->at(x, y) + (mapped ? o.mapFirst : 0));
            else if ((o.type & 7) == 3)
                line.u8(qRed(rgb->at(x, y))).u8(qAlpha(rgb->at(x, y)));
            else
                targaPixel(line, rgb->at(x, y), o.depth);
        }
        all += (o.type >= 9 && !o.rleAcrossRows) ? targaRle(line.data(), bytes) : line.data();
    }
    w.bytes(o.type >= 9 && o.rleAcrossRows ? targaRle(all, bytes) : all);
    if (o.footer)
        w.u32le(0).u32le(0).bytes(QByteArray("TRUEVISION-XFILE.", 17)).u8(0);
    return w.data();
}

struct SunOptions {
    int depth = 8;
    int type = 1; // 0 old, 1 standard, 2 byte-encoded, 3 RGB
    bool colourMap = true;
};

// Runs of three or more, and of two 0x80 bytes, as 0x80, count - 1, value; a lone 0x80 as 0x80, 0.
inline QByteArray sunRle(const QByteArray& raw)
{
    QByteArray out;
    const auto run = [&](qsizetype at, qsizetype n) {
        const char v = raw[at];
        if (n >= 3 || (v == char(0x80) && n == 2))
            out.append(char(0x80)).append(char(n - 1)).append(v);
        else
            for (qsizetype i = 0; i < n; ++i)
                out.append(v == char(0x80) ? QByteArray("\x80\0", 2) : QByteArray(1, v));
    };
    splitRuns(
        raw.size(), 1, 256, 1, [&](qsizetype a, qsizetype b) { return raw[a] == raw[b]; }, run, run);
    return out;
}

inline QByteArray encodeSun(const SunOptions& o, const IndexedPicture* indexed,
                            const RgbPicture* rgb = nullptr)
{
    const int width = indexed ? indexed->width : rgb->width, height = indexed ? indexed->height : rgb->height;
    const int rowBytes = ((width * o.depth + 15) / 16) * 2;
    QByteArray pixels;
    for (int y = 0; y < height; ++y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            if (o.depth == 1) {
                row[x / 8] = char(row[x / 8] | (indexed->at(x, y) << (7 - x % 8)));
            } else if (o.depth == 8) {
                row[x] = char(indexed->at(x, y));
            } else {
                const QRgb c = rgb->at(x, y);
                const int step = o.depth / 8, at = x * step + (o.depth == 32 ? 1 : 0);
                const bool order = o.type == 3;
                row[at] = char(order ? qRed(c) : qBlue(c));
                row[at + 1] = char(qGreen(c));
                row[at + 2] = char(order ? qBlue(c) : qRed(c));
            }
        }
        pixels += row;
    }
    if (o.type == 2)
        pixels = sunRle(pixels);
    const bool map = o.colourMap && indexed;
    const int entries = map ? int(indexed->palette.size()) : 0;
    ByteWriter w;
    w.u32be(0x59a66a95).u32be(width).u32be(height).u32be(o.depth);
    w.u32be(o.type == 0 ? 0 : std::uint32_t(pixels.size())).u32be(o.type).u32be(map ? 1 : 0);
    w.u32be(entries * 3);
    for (int channel = 16; channel >= 0; channel -= 8)
        for (int i = 0; i < entries; ++i)
            w.u8(int(indexed->palette[i] >> channel) & 255);
    return w.bytes(pixels).data();
}

} // namespace mv::imaging::test
