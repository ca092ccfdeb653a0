// The test writers of the pc family (PCX, Targa, Sun Raster, bare DIB, MSP, GEM IMG, CUT and
// its PAL), for the tests, the fuzz seeds and the benchmark. Palette pictures take `indexed`,
// true colour ones `rgb`.
#pragma once

#include "WriterSupport.h"

#include <algorithm>
#include <bit>

namespace mv::imaging::test {

inline int widthOf(const IndexedPicture* indexed, const RgbPicture* rgb)
{
    return indexed ? indexed->width : rgb->width;
}
inline int heightOf(const IndexedPicture* indexed, const RgbPicture* rgb)
{
    return indexed ? indexed->height : rgb->height;
}
inline ByteWriter& rgbTriple(ByteWriter& w, QRgb c, bool bgr = false)
{
    return bgr ? w.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)) : w.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
}

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

// 8 x 3 and 8 x 4 are true colour (the fourth plane alpha); the rest palette pictures.
inline QByteArray encodePcx(const PcxOptions& o, const IndexedPicture* indexed,
                            const RgbPicture* rgb = nullptr)
{
    const int width = widthOf(indexed, rgb), height = heightOf(indexed, rgb);
    const int bytesPerLine = ((width * o.bits + 15) / 16) * 2 + o.extraLineBytes;
    ByteWriter w;
    w.u8(0x0A).u8(o.version).u8(o.rle ? 1 : 0).u8(o.bits);
    w.u16le(0).u16le(0).u16le(width - 1).u16le(height - 1).u16le(72).u16le(72);
    for (int i = 0; i < 16; ++i)
        rgbTriple(w,
                  indexed && o.bits * o.planes <= 4 && i < indexed->palette.size() ? indexed->palette[i] : 0);
    w.u8(0).u8(o.planes).u16le(bytesPerLine).u16le(1).u16le(0).u16le(0).zeros(54);
    for (int y = 0; y < height; ++y) {
        ByteWriter line;
        for (int p = 0; p < o.planes; ++p) {
            const int shift = indexed ? (o.planes > 1 ? p : 0) : p == 3 ? 24 : 16 - 8 * p;
            const int mask = indexed && o.planes > 1 ? 1 : (1 << o.bits) - 1;
            line.bytes(packRow(width, bytesPerLine, o.bits, [&](int x) {
                return int((indexed ? indexed->at(x, y) : rgb->at(x, y)) >> shift) & mask;
            }));
        }
        w.bytes(o.rle ? pcxRle(line.data()) : line.data());
    }
    if (indexed && o.bits == 8 && o.tailPalette) {
        w.u8(0x0C);
        for (int i = 0; i < 256; ++i)
            rgbTriple(w, i < indexed->palette.size() ? indexed->palette[i] : 0);
    }
    return w.data();
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
    if (bits == 15 || bits == 16)
        w.u16le(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3) |
                (qAlpha(c) >= 128 ? 0x8000 : 0));
    else if (rgbTriple(w, c, true); bits == 32)
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

// Mapped and 8-bit grey files take `indexed` (grey: the index is the level); the rest `rgb`.
inline QByteArray encodeTarga(const TargaOptions& o, const IndexedPicture* indexed,
                              const RgbPicture* rgb = nullptr)
{
    const int width = widthOf(indexed, rgb), height = heightOf(indexed, rgb);
    const bool mapped = (o.type & 7) == 1, rle = o.type >= 9;
    const int mapLength = mapped ? int(indexed->palette.size()) : 0, bytes = (o.depth + 7) / 8;
    ByteWriter w;
    w.u8(int(o.id.size())).u8(mapped ? 1 : 0).u8(o.type).u16le(o.mapFirst).u16le(mapLength);
    w.u8(mapped ? o.mapEntryBits : 0).u32le(0).u16le(width).u16le(height).u8(o.depth);
    w.u8(o.alphaBits | (o.rightToLeft ? 0x10 : 0) | (o.topDown ? 0x20 : 0)).bytes(o.id);
    for (int i = 0; i < mapLength; ++i)
        targaPixel(w, indexed->palette[i], o.mapEntryBits);
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
        all += rle && !o.rleAcrossRows ? targaRle(line.data(), bytes) : line.data();
    }
    w.bytes(rle && o.rleAcrossRows ? targaRle(all, bytes) : all);
    if (o.footer)
        w.u32le(0).u32le(0).bytes(QByteArray("TRUEVISION-XFILE.", 17)).u8(0);
    return w.data();
}

struct SunOptions {
    int depth = 8;
    int type = 1; // 0 old, 1 standard, 2 byte-encoded, 3 RGB
    bool colourMap = true;
};

inline QByteArray encodeSun(const SunOptions& o, const IndexedPicture* indexed,
                            const RgbPicture* rgb = nullptr)
{
    const int width = widthOf(indexed, rgb), height = heightOf(indexed, rgb);
    const int rowBytes = ((width * o.depth + 15) / 16) * 2;
    ByteWriter raw;
    for (int y = 0; y < height; ++y) {
        if (indexed) {
            raw.bytes(packRow(width, rowBytes, o.depth, [&](int x) { return indexed->at(x, y); }));
            continue;
        }
        ByteWriter row;
        for (int x = 0; x < width; ++x)
            rgbTriple(o.depth == 32 ? row.u8(0) : row, rgb->at(x, y), o.type != 3);
        raw.bytes(row.data().leftJustified(rowBytes, '\0'));
    }
    // Byte-encoded: runs of three or more, and of two 0x80 bytes, as 0x80, count - 1, value; a
    // lone 0x80 as 0x80, 0.
    QByteArray pixels = raw.data();
    if (o.type == 2) {
        pixels.clear();
        const QByteArray& d = raw.data();
        const auto run = [&](qsizetype at, qsizetype n) {
            if (n >= 3 || (d[at] == char(0x80) && n == 2))
                pixels.append(char(0x80)).append(char(n - 1)).append(d[at]);
            else
                for (qsizetype i = 0; i < n; ++i)
                    pixels.append(d[at] == char(0x80) ? QByteArray("\x80\0", 2) : QByteArray(1, d[at]));
        };
        splitRuns(
            d.size(), 1, 256, 1, [&](qsizetype a, qsizetype b) { return d[a] == d[b]; }, run, run);
    }
    const int entries = o.colourMap && indexed ? int(indexed->palette.size()) : 0;
    ByteWriter w;
    w.u32be(0x59a66a95).u32be(width).u32be(height).u32be(o.depth);
    w.u32be(o.type == 0 ? 0 : std::uint32_t(pixels.size()))
        .u32be(o.type)
        .u32be(entries ? 1 : 0)
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
        const int shift = std::countr_zero(masks[i]), width = std::popcount(masks[i]);
        const std::uint32_t v = width >= 8 ? std::uint32_t(channels[i]) << (width - 8)
                                           : std::uint32_t(channels[i]) >> (8 - width);
        px |= masks[i] ? (v << shift) & masks[i] : 0;
    }
    return px;
}

// Runs of three or more as encoded runs, the rest in absolute runs; EOL after each row, EOB.
inline QByteArray dibRle(const IndexedPicture& p, bool rle4, bool topDown)
{
    ByteWriter w;
    for (int row = 0; row < p.height; ++row) {
        const int y = topDown ? row : p.height - 1 - row;
        for (int x = 0; x < p.width;) {
            int n = 1;
            while (x + n < p.width && n < 255 && p.at(x + n, y) == p.at(x, y))
                ++n;
            if (n >= 3 || p.width - x < 3) {
                w.u8(n).u8(rle4 ? (p.at(x, y) << 4) | p.at(x, y) : p.at(x, y));
            } else {
                n = std::min(p.width - x, 40);
                const auto bytes = packRow(n, (n * (rle4 ? 4 : 8) + 15) / 16 * 2, rle4 ? 4 : 8,
                                           [&](int i) { return p.at(x + i, y); });
                w.u8(0).u8(n).bytes(bytes);
            }
            x += n;
        }
        w.u16le(0);
    }
    return w.u8(0).u8(1).data();
}

inline QByteArray encodeDib(const DibOptions& o, const IndexedPicture* indexed,
                            const RgbPicture* rgb = nullptr)
{
    const int width = widthOf(indexed, rgb), height = heightOf(indexed, rgb);
    const int colours = o.bits <= 8 && !o.coloursUsed ? 1 << o.bits : o.coloursUsed;
    ByteWriter w;
    if (o.headerSize == 12) {
        w.u32le(12).u16le(width).u16le(height).u16le(1).u16le(o.bits);
    } else {
        ByteWriter h;
        h.u32le(o.headerSize).u32le(width).u32le(o.topDown ? -height : height).u16le(1).u16le(o.bits);
        h.u32le(o.compression).u32le(0).u32le(2835).u32le(2835).u32le(o.coloursUsed).u32le(0);
        for (std::uint32_t m : o.masks)
            h.u32le(m);
        w.bytes(h.data().left(o.headerSize).leftJustified(o.headerSize, '\0'));
        if (o.headerSize == 40 && o.compression == 3)
            w.u32le(o.masks[0]).u32le(o.masks[1]).u32le(o.masks[2]);
    }
    for (int i = 0; i < colours; ++i) {
        rgbTriple(w, indexed && i < indexed->palette.size() ? indexed->palette[i] : qRgb(i, i, i), true);
        if (o.headerSize != 12)
            w.u8(0);
    }
    if (o.compression == 1 || o.compression == 2)
        return w.bytes(dibRle(*indexed, o.compression == 2, o.topDown)).data();
    const std::uint32_t rgbMasks[4] = {0xFF0000, 0xFF00, 0xFF, 0}, masks555[4] = {0x7C00, 0x03E0, 0x1F, 0};
    const std::uint32_t* masks = o.compression == 3 ? o.masks : o.bits == 16 ? masks555 : rgbMasks;
    const int stride = ((width * o.bits + 31) / 32) * 4;
    for (int row = 0; row < height; ++row) {
        const int y = o.topDown ? row : height - 1 - row;
        if (o.bits < 8) {
            w.bytes(packRow(width, stride, o.bits, [&](int x) { return indexed->at(x, y); }));
            continue;
        }
        ByteWriter line;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = indexed ? indexed->at(x, y) : dibPack(rgb->at(x, y), masks);
            for (int b = 0; b < o.bits / 8; ++b)
                line.u8(int(v >> (8 * b)));
        }
        w.bytes(line.data().leftJustified(stride, '\0'));
    }
    return w.data();
}

// Rows of (width + 7) / 8 bytes, set bits where the index is 1 (white).
inline QByteArray packedRow(const IndexedPicture& p, int y)
{
    return ByteWriter()
        .bytes(packRowBits(p.width, (p.width + 7) / 8, [&](int x) { return p.at(x, y) & 1; }))
        .data();
}

inline QByteArray encodeMsp(int version, const IndexedPicture& p)
{
    ByteWriter w;
    w.bytes(version == 1 ? "DanM" : "LinS").u16le(p.width).u16le(p.height);
    w.u16le(p.width).u16le(p.height).u16le(p.width).u16le(p.height).zeros(16);
    ByteWriter rows, lengths;
    for (int y = 0; y < p.height; ++y) {
        const QByteArray row = packedRow(p, y);
        QByteArray packed;
        splitRuns(
            row.size(), 3, 255, 255, [&](qsizetype a, qsizetype b) { return row[a] == row[b]; },
            [&](qsizetype at, qsizetype n) { packed.append('\0').append(char(n)).append(row[at]); },
            [&](qsizetype at, qsizetype n) { packed.append(char(n)).append(row.mid(at, n)); });
        lengths.u16le(int(packed.size()));
        rows.bytes(version == 1 ? row : packed);
    }
    return w.bytes(version == 2 ? lengths.data() : QByteArray()).bytes(rows.data()).data();
}

struct GemOptions {
    int planes = 1;
    int patternLength = 2;
    bool ximg = false; // palette in the header
};

// Solid runs of 0 or 0xFF, pattern runs, and bit strings of at most 3 bytes.
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
    const auto line = [&](int y) {
        ByteWriter raw;
        for (int plane = 0; plane < o.planes; ++plane)
            raw.bytes(
                packRowBits(p.width, (p.width + 7) / 8, [&](int x) { return (p.at(x, y) >> plane) & 1; }));
        return raw.data();
    };
    for (int y = 0; y < p.height;) {
        const QByteArray raw = line(y);
        int same = 1;
        while (y + same < p.height && same < 255 && line(y + same) == raw)
            ++same;
        if (same > 1)
            w.u8(0).u8(0).u8(0xFF).u8(same);
        w.bytes(gemLine(raw, o.patternLength));
        y += same;
    }
    return w.data();
}

inline QByteArray encodeCut(const IndexedPicture& p)
{
    ByteWriter w;
    w.u16le(p.width).u16le(p.height).u16le(0);
    for (int y = 0; y < p.height; ++y) {
        ByteWriter runs;
        splitRuns(
            p.width, 2, 127, 127,
            [&](qsizetype a, qsizetype b) { return p.at(int(a), y) == p.at(int(b), y); },
            [&](qsizetype at, qsizetype n) { runs.u8(0x80 | int(n)).u8(p.at(int(at), y)); },
            [&](qsizetype at, qsizetype n) {
                runs.u8(int(n));
                for (qsizetype i = at; i < at + n; ++i)
                    runs.u8(p.at(int(i), y));
            });
        w.u16le(int(runs.size()) + 1).bytes(runs.data()).u8(0);
    }
    return w.data();
}

// Entries scaled to 0..maximum; triples never straddle a 512-byte block.
inline QByteArray encodeHaloPalette(const QList<QRgb>& colours, int maximum)
{
    ByteWriter w;
    w.bytes("AH").u16le(0xE3).u16le(0).u8('P').u8(0).u32le(0);
    w.u16le(int(colours.size()) - 1).u16le(maximum).u16le(maximum).u16le(maximum).bytes("Dr. Halo").zeros(12);
    for (QRgb c : colours) {
        if (w.size() % 512 > 506)
            w.zeros(512 - w.size() % 512);
        w.u16le(qRed(c) * maximum / 255).u16le(qGreen(c) * maximum / 255).u16le(qBlue(c) * maximum / 255);
    }
    return w.data();
}

} // namespace mv::imaging::test
