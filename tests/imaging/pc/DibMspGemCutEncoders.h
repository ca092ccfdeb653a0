// The test writers of bare DIBs, Microsoft Paint, GEM IMG and Dr. Halo CUT pictures and PAL
// palettes.
#pragma once

#include "../common/Bytes.h"
#include "../common/Checks.h"

#include <algorithm>
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
        const std::uint32_t v = width >= 8 ? std::uint32_t(channels[i]) << (width - 8)
                                           : std::uint32_t(channels[i]) >> (8 - width);
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

inline QByteArray encodeDib(const DibOptions& o, const IndexedPicture* indexed,
                            const RgbPicture* rgb = nullptr)
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
    return w
        .bytes(dibRows(o, width, height,
                       [&](int x, int y) {
                           return indexed ? std::uint32_t(indexed->at(x, y)) : dibPack(rgb->at(x, y), masks);
                       }))
        .data();
}

// Rows of (width + 7) / 8 bytes, set bits where the index is 1 (white).
inline QByteArray packedRow(const IndexedPicture& p, int y, bool setIsOne = true)
{
    QByteArray row((p.width + 7) / 8, setIsOne ? '\0' : char(0xFF));
    for (int x = 0; x < p.width; ++x)
        if ((p.at(x, y) & 1) == (setIsOne ? 1 : 0))
            row[x / 8] = char(row[x / 8] ^ (0x80 >> (x % 8)));
    return row;
}

inline QByteArray mspRow(const QByteArray& row)
{
    QByteArray out;
    splitRuns(
        row.size(), 3, 255, 255, [&](qsizetype a, qsizetype b) { return row[a] == row[b]; },
        [&](qsizetype at, qsizetype n) { out.append('\0').append(char(n)).append(row[at]); },
        [&](qsizetype at, qsizetype n) { out.append(char(n)).append(row.mid(at, n)); });
    return out;
}

inline QByteArray encodeMsp(int version, const IndexedPicture& p)
{
    ByteWriter w;
    w.bytes(version == 1 ? "DanM" : "LinS").u16le(p.width).u16le(p.height);
    w.u16le(p.width).u16le(p.height).u16le(p.width).u16le(p.height).u16le(0).u16le(0);
    w.u16le(0).u16le(0).u16le(0).zeros(6);
    QByteArray rows, lengths;
    for (int y = 0; y < p.height; ++y) {
        const QByteArray row = version == 1 ? packedRow(p, y) : mspRow(packedRow(p, y));
        lengths.append(char(row.size() & 255)).append(char(row.size() >> 8));
        rows += row;
    }
    return w.bytes(version == 2 ? lengths : QByteArray()).bytes(rows).data();
}

struct GemOptions {
    int planes = 1;
    int patternLength = 2;
    bool ximg = false; // palette in the header
};

inline QByteArray gemLine(const QByteArray& raw, int patternLength)
{
    QByteArray out;
    for (qsizetype i = 0; i < raw.size();) {
        const char v = raw[i];
        qsizetype n = 1;
        while (i + n < raw.size() && n < 127 && raw[i + n] == v)
            ++n;
        if ((v == 0 || v == char(0xFF)) && n >= 2) {
            out.append(char((v ? 0x80 : 0) | n));
            i += n;
            continue;
        }
        const QByteArray pattern = raw.mid(i, patternLength);
        qsizetype reps = 1;
        while (pattern.size() == patternLength && reps < 255 &&
               raw.mid(i + reps * patternLength, patternLength) == pattern)
            ++reps;
        if (reps >= 2) {
            out.append('\0').append(char(reps)).append(pattern);
            i += reps * patternLength;
            continue;
        }
        const qsizetype k = std::min<qsizetype>(raw.size() - i, 3);
        out.append(char(0x80)).append(char(k)).append(raw.mid(i, k));
        i += k;
    }
    return out;
}

inline QByteArray gemRawLine(const IndexedPicture& p, int y, int planes)
{
    const int planeBytes = (p.width + 7) / 8;
    QByteArray raw(planeBytes * planes, '\0');
    for (int plane = 0; plane < planes; ++plane)
        for (int x = 0; x < p.width; ++x)
            if ((p.at(x, y) >> plane) & 1)
                raw[plane * planeBytes + x / 8] = char(raw[plane * planeBytes + x / 8] | (0x80 >> (x % 8)));
    return raw;
}

inline QByteArray encodeGemImg(const GemOptions& o, const IndexedPicture& p)
{
    const int colours = 1 << o.planes;
    ByteWriter w;
    w.u16be(1).u16be(o.ximg ? 11 + 3 * colours : 8).u16be(o.planes).u16be(o.patternLength);
    w.u16be(85).u16be(85).u16be(p.width).u16be(p.height);
    if (o.ximg) {
        w.bytes("XIMG").u16be(0);
        for (int i = 0; i < colours; ++i) {
            const QRgb c = i < p.palette.size() ? p.palette[i] : 0;
            w.u16be(qRed(c) * 1000 / 255).u16be(qGreen(c) * 1000 / 255).u16be(qBlue(c) * 1000 / 255);
        }
    }
    for (int y = 0; y < p.height;) {
        const QByteArray raw = gemRawLine(p, y, o.planes);
        int same = 1;
        while (y + same < p.height && same < 255 && gemRawLine(p, y + same, o.planes) == raw)
            ++same;
        if (same > 1)
            w.u8(0).u8(0).u8(0xFF).u8(same);
        w.bytes(gemLine(raw, o.patternLength));
        y += same;
    }
    return w.data();
}

inline QByteArray cutRow(const IndexedPicture& p, int y)
{
    QByteArray runs;
    splitRuns(
        p.width, 2, 127, 127, [&](qsizetype a, qsizetype b) { return p.at(int(a), y) == p.at(int(b), y); },
        [&](qsizetype at, qsizetype n) { runs.append(char(0x80 | n)).append(char(p.at(int(at), y))); },
        [&](qsizetype at, qsizetype n) {
            runs.append(char(n));
            for (qsizetype i = at; i < at + n; ++i)
                runs.append(char(p.at(int(i), y)));
        });
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
