// The test writers of the pc family (PCX, Targa, Sun Raster, bare DIB, MSP, GEM IMG, CUT and
// its PAL), for the tests, the fuzz seeds and the benchmark.
#pragma once

#include "../common/Bytes.h"
#include "../common/Checks.h"

#include <algorithm>
#include <bit>

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
    QByteArray id;
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
    const qsizetype count = raw.size() / bytes;
    auto same = [&](qsizetype a, qsizetype b) {
        return raw.mid(a * bytes, bytes) == raw.mid(b * bytes, bytes);
    };
    for (qsizetype i = 0; i < count;) {
        qsizetype n = 1;
        while (i + n < count && n < 128 && same(i, i + n))
            ++n;
        if (n > 1) {
            out.append(char(0x80 | (n - 1))).append(raw.mid(i * bytes, bytes));
        } else {
            while (i + n < count && n < 128 && !same(i + n - 1, i + n))
                ++n;
            out.append(char(n - 1)).append(raw.mid(i * bytes, n * bytes));
        }
        i += n;
    }
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
    w.u8(int(o.id.size()))
        .u8(mapped ? 1 : 0)
        .u8(o.type)
        .u16le(o.mapFirst)
        .u16le(mapLength)
        .u8(mapped ? o.mapEntryBits : 0);
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

inline QByteArray sunRle(const QByteArray& raw)
{
    QByteArray out;
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype n = 1;
        while (i + n < raw.size() && n < 256 && raw[i + n] == raw[i])
            ++n;
        const auto v = std::uint8_t(raw[i]);
        if (n >= 3 || (v == 0x80 && n >= 2)) {
            out.append(char(0x80)).append(char(n - 1)).append(char(v));
        } else {
            n = 1;
            out.append(char(v));
            if (v == 0x80)
                out.append('\0');
        }
        i += n;
    }
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
    w.u32be(o.type == 0 ? 0 : std::uint32_t(pixels.size()))
        .u32be(o.type)
        .u32be(map ? 1 : 0)
        .u32be(entries * 3);
    for (int channel = 16; channel >= 0; channel -= 8)
        for (int i = 0; i < entries; ++i)
            w.u8(int(indexed->palette[i] >> channel) & 255);
    return w.bytes(pixels).data();
}

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
    for (qsizetype i = 0; i < row.size();) {
        qsizetype n = 1;
        while (i + n < row.size() && n < 255 && row[i + n] == row[i])
            ++n;
        if (n >= 3) {
            out.append('\0').append(char(n)).append(row[i]);
        } else {
            n = 1;
            while (i + n < row.size() && n < 255 && (i + n + 2 >= row.size() || row[i + n] != row[i + n + 1]))
                ++n;
            out.append(char(n)).append(row.mid(i, n));
        }
        i += n;
    }
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
    for (int x = 0; x < p.width;) {
        int n = 1;
        while (x + n < p.width && n < 127 && p.at(x + n, y) == p.at(x, y))
            ++n;
        if (n >= 2) {
            runs.append(char(0x80 | n)).append(char(p.at(x, y)));
        } else {
            while (x + n < p.width && n < 127 &&
                   (x + n + 1 >= p.width || p.at(x + n, y) != p.at(x + n + 1, y)))
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
