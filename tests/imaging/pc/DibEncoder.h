// A small writer of bare DIBs (no "BM" file header) for the tests and the benchmark.
#pragma once

#include "ByteWriter.h"
#include "TestPictures.h"

#include <bit>

namespace mv::imaging::test {

struct DibOptions {
    int headerSize = 40; // 12, 16, 40, 64, 108 or 124
    int bits = 8;
    int compression = 0; // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
    bool topDown = false;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    int coloursUsed = 0; // 0: the full table for the depth
};

// Puts c into the masked bits of a pixel (keeping the top bits of each channel).
inline std::uint32_t dibPack(QRgb c, const std::uint32_t masks[4])
{
    const int channels[4] = {qRed(c), qGreen(c), qBlue(c), qAlpha(c)};
    std::uint32_t px = 0;
    for (int i = 0; i < 4; ++i) {
        if (!masks[i])
            continue;
        const int shift = std::countr_zero(masks[i]), width = std::popcount(masks[i]);
        const std::uint32_t v = width >= 8 ? std::uint32_t(channels[i]) << (width - 8) : std::uint32_t(channels[i]) >> (8 - width);
        px |= (v << shift) & masks[i];
    }
    return px;
}

// Runs of equal pixels as encoded runs, the rest in absolute runs; EOL after each row, EOB.
inline QByteArray dibRle(const IndexedPicture& p, bool rle4, bool topDown)
{
    QByteArray out;
    for (int row = 0; row < p.height; ++row) {
        const int y = topDown ? row : p.height - 1 - row;
        for (int x = 0; x < p.width;) {
            int n = 1;
            while (x + n < p.width && n < 255 && p.at(x + n, y) == p.at(x, y))
                ++n;
            if (n >= 3 || p.width - x < 3) {
                out.append(char(n)).append(char(rle4 ? (p.at(x, y) << 4) | p.at(x, y) : p.at(x, y)));
            } else {
                n = std::min(p.width - x, 40);
                out.append('\0').append(char(n));
                QByteArray bytes;
                for (int i = 0; i < n; ++i) {
                    if (!rle4)
                        bytes.append(char(p.at(x + i, y)));
                    else if (i % 2 == 0)
                        bytes.append(char(p.at(x + i, y) << 4));
                    else
                        bytes.back() = char(bytes.back() | p.at(x + i, y));
                }
                out.append(bytes);
                if (bytes.size() % 2)
                    out.append('\0');
            }
            x += n;
        }
        out.append('\0').append('\0');
    }
    return out.append('\0').append('\1');
}

inline QByteArray dibRows(const DibOptions& o, int width, int height, auto pixelBits)
{
    const int stride = ((width * o.bits + 31) / 32) * 4;
    QByteArray out;
    for (int row = 0; row < height; ++row) {
        const int y = o.topDown ? row : height - 1 - row;
        QByteArray line(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixelBits(x, y);
            const int bit = x * o.bits;
            if (o.bits < 8)
                line[bit / 8] = char(line[bit / 8] | (v << (8 - o.bits - bit % 8)));
            else
                for (int b = 0; b < o.bits / 8; ++b)
                    line[bit / 8 + b] = char(v >> (8 * b));
        }
        out += line;
    }
    return out;
}

inline QByteArray encodeDib(const DibOptions& o, const IndexedPicture* indexed, const RgbPicture* rgb = nullptr)
{
    const int width = indexed ? indexed->width : rgb->width, height = indexed ? indexed->height : rgb->height;
    const int colours = o.bits <= 8 ? (o.coloursUsed ? o.coloursUsed : 1 << o.bits) : o.coloursUsed;
    ByteWriter w;
    if (o.headerSize == 12) {
        w.u32le(12).u16le(width).u16le(height).u16le(1).u16le(o.bits);
    } else {
        ByteWriter h;
        h.u32le(o.headerSize).u32le(width).u32le(o.topDown ? -height : height).u16le(1).u16le(o.bits);
        h.u32le(o.compression).u32le(0).u32le(2835).u32le(2835).u32le(o.coloursUsed).u32le(0);
        for (std::uint32_t m : o.masks)
            h.u32le(m);
        w.bytes(h.data().left(o.headerSize));
        w.zeros(o.headerSize - w.size());
        if (o.headerSize == 40 && o.compression == 3)
            w.u32le(o.masks[0]).u32le(o.masks[1]).u32le(o.masks[2]);
    }
    for (int i = 0; i < colours; ++i) {
        const QRgb c = indexed && i < indexed->palette.size() ? indexed->palette[i] : qRgb(i, i, i);
        w.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
        if (o.headerSize != 12)
            w.u8(0);
    }
    if (o.compression == 1 || o.compression == 2)
        return w.bytes(dibRle(*indexed, o.compression == 2, o.topDown)).data();
    const std::uint32_t rgbMasks[4] = {0xFF0000, 0xFF00, 0xFF, 0};
    const std::uint32_t masks555[4] = {0x7C00, 0x03E0, 0x1F, 0};
    const std::uint32_t* masks = o.compression == 3 ? o.masks : o.bits == 16 ? masks555 : rgbMasks;
    return w.bytes(dibRows(o, width, height, [&](int x, int y) {
        return indexed ? std::uint32_t(indexed->at(x, y)) : dibPack(rgb->at(x, y), masks);
    })).data();
}

} // namespace mv::imaging::test
