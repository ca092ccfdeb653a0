// Test writers of the retro family: PFS ART, Slow Scan TV, IFF (ILBM and PBM), MacPaint and
// PC Paint / Pictor pictures.
#pragma once

#include "WriterSupport.h"

#include <QList>
#include <QRgb>

#include <algorithm>
#include <array>
#include <functional>

namespace mv::imaging::test {

// ART, standard form; a set bit is white.
inline QByteArray encodeArt(int width, int height, const std::function<bool(int, int)>& white)
{
    ByteWriter w;
    w.u16le(3).u16le(3 + width).u16le(0).u16le(height); // left, right, top, bottom
    for (int y = 0; y < height; ++y)
        w.bytes(packRowBits(width, (width + 15) / 16 * 2, [&](int x) { return white(x, y); }));
    return w.data();
}

// ART, high resolution; pad: the extra bytes at the end of each unpacked row (0 to 2).
inline QByteArray encodeArtHighRes(int width, int height, int pad, const std::function<bool(int, int)>& white)
{
    ByteWriter w;
    w.u16le(0xFFFF).u16le(300).u16le(300).u16le(width).u16le(height).u16le(1);
    for (int y = 0; y < height; ++y)
        w.bytes(packBits(packRowBits(width, (width + 7) / 8 + pad, [&](int x) { return white(x, y); })));
    return w.data();
}

// Slow Scan TV: 256 x 240, three 6-bit values a pixel.
inline QByteArray encodeHrz(const std::function<std::array<std::uint8_t, 3>(int, int)>& rgb6)
{
    ByteWriter w;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 256; ++x)
            for (std::uint8_t c : rgb6(x, y))
                w.u8(c);
    return w.data();
}

struct IffInput {
    int width = 0, height = 0, planes = 0;
    bool chunky = false, compress = false, mask = false;
    std::uint32_t viewModes = 0; // written as CAMG when not 0
    QList<QRgb> colours = {};    // written as CMAP when not empty
    // The stored value of a pixel: bit p goes to plane p (24 planes: red in bits 0-7, green
    // 8-15, blue 16-23).
    std::function<std::uint32_t(int x, int y)> value;
    [[nodiscard]] QRgb colour(int x, int y) const { return colours[int(value(x, y))]; }
};

inline void iffChunk(ByteWriter& w, const char* id, const QByteArray& body)
{
    w.bytes(QByteArray(id, 4)).u32be(std::uint32_t(body.size())).bytes(body);
    if (body.size() & 1)
        w.u8(0);
}

inline QByteArray encodeIff(const IffInput& s)
{
    ByteWriter body;
    const int planeBytes = s.chunky ? s.width + (s.width & 1) : (s.width + 15) / 16 * 2;
    const auto put = [&](const std::vector<std::uint8_t>& row) {
        if (s.compress)
            body.bytes(packBits(row));
        else
            body.bytes(row);
    };
    for (int y = 0; y < s.height; ++y) {
        if (s.chunky) {
            std::vector<std::uint8_t> row(size_t(planeBytes), 0);
            for (int x = 0; x < s.width; ++x)
                row[size_t(x)] = std::uint8_t(s.value(x, y));
            put(row);
            continue;
        }
        for (int p = 0; p < s.planes; ++p)
            put(packRowBits(s.width, planeBytes, [&](int x) { return (s.value(x, y) >> p) & 1; }));
        if (s.mask)
            put(packRowBits(s.width, planeBytes, [](int x) { return x % 3 == 0; }));
    }
    ByteWriter header, chunks, cmap;
    header.u16be(s.width).u16be(s.height).u32be(0).u8(s.planes).u8(s.mask ? 1 : 0).u8(s.compress ? 1 : 0);
    header.u8(0).u16be(0).u8(10).u8(11).u16be(s.width).u16be(s.height);
    iffChunk(chunks, "BMHD", header.data());
    iffChunk(chunks, "ANNO", QByteArray("odd"));
    for (QRgb c : s.colours)
        cmap.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    if (!s.colours.isEmpty())
        iffChunk(chunks, "CMAP", cmap.data());
    if (s.viewModes)
        iffChunk(chunks, "CAMG", ByteWriter().u32be(s.viewModes).data());
    iffChunk(chunks, "BODY", body.data());
    return ByteWriter()
        .bytes("FORM")
        .u32be(std::uint32_t(chunks.size() + 4))
        .bytes(s.chunky ? "PBM " : "ILBM")
        .bytes(chunks.data())
        .data();
}

// MacPaint: black(x, y) for the 576 x 720 pixels, with or without a MacBinary header.
inline QByteArray encodeMacPaint(const std::function<bool(int, int)>& black, bool macBinary)
{
    ByteWriter data;
    data.u32be(2).zeros(508); // version, patterns
    for (int y = 0; y < 720; ++y)
        data.bytes(packBits(packRowBits(576, 72, [&](int x) { return black(x, y); })));
    if (!macBinary)
        return data.data();
    QByteArray header(128, '\0');
    header[1] = 7;
    header.replace(2, 7, "SAMPLE!");
    header.replace(65, 8, "PNTGMPNT");
    return patched32(header, 83, std::uint32_t(data.size()), true) + data.data();
}

// PC Paint / Pictor: packed or planar pixels, stored palettes, raw or run-length blocks, bottom
// row first.
struct PicInput {
    int width = 0, height = 0;
    int bits = 1; // per pixel in one plane
    int planes = 1;
    int paletteType = 0;
    QByteArray palette = {}; // stored as is; empty for none
    bool compress = false;
    int blockLimit = 300; // unpacked bytes a block at most
    std::uint8_t marker = 0xA5;
    std::function<int(int x, int y)> value;
};

inline QByteArray encodePic(const PicInput& s)
{
    // The pixel bytes before compression: each plane whole, bottom row first.
    std::vector<std::uint8_t> pixels;
    for (int plane = 0; plane < s.planes; ++plane)
        for (int y = s.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row;
            if (s.planes > 1) {
                row = packRowBits(s.width, (s.width + 7) / 8,
                                  [&](int x) { return (s.value(x, y) >> plane) & 1; });
            } else {
                row.assign(size_t((s.width * s.bits + 7) / 8), 0);
                for (int x = 0; x < s.width; ++x)
                    row[size_t(x * s.bits / 8)] |=
                        std::uint8_t(s.value(x, y) << (8 - s.bits - x * s.bits % 8));
            }
            pixels.insert(pixels.end(), row.begin(), row.end());
        }
    ByteWriter w;
    w.u16le(0x1234).u16le(s.width).u16le(s.height).u32le(0).u8(((s.planes - 1) << 4) | s.bits);
    w.u8(0xFF).u8('A').u16le(s.paletteType).u16le(int(s.palette.size())).bytes(s.palette);
    if (!s.compress)
        return w.u16le(0).bytes(pixels).data();
    const size_t limit = size_t(s.blockLimit), blocks = (pixels.size() + limit - 1) / limit;
    w.u16le(int(blocks));
    for (size_t b = 0; b < blocks; ++b) {
        const std::uint8_t* data = pixels.data() + b * limit;
        const size_t n = std::min(limit, pixels.size() - b * limit);
        // Runs of four or more (and every marker byte) as marker, count (0 and 16 bits past
        // 255), value.
        ByteWriter runs;
        const auto run = [&](qsizetype at, qsizetype k) {
            if (k < 4 && data[at] != s.marker)
                runs.bytes(std::vector<std::uint8_t>(size_t(k), data[at]));
            else
                (k > 255 ? runs.u8(s.marker).u8(0).u16le(int(k)) : runs.u8(s.marker).u8(int(k))).u8(data[at]);
        };
        splitRuns(
            qsizetype(n), 1, 65535, 1, [&](qsizetype a, qsizetype c) { return data[a] == data[c]; }, run,
            run);
        w.u16le(int(runs.size()) + 5).u16le(int(n)).u8(s.marker).bytes(runs.data());
    }
    return w.data();
}

} // namespace mv::imaging::test
