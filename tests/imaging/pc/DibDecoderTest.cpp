#include "DecodeChecks.h"
#include "DibEncoder.h"

#include "imaging/pc/DibDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

// What the decoder makes of a channel kept in `width` bits: scaled back to 0..255.
int kept(int c, int width) { return width >= 8 ? c : (c >> (8 - width)) * 255 / ((1 << width) - 1); }

RgbPicture keptColours(RgbPicture p, const int widths[4], bool alpha)
{
    for (QRgb& c : p.pixels)
        c = qRgba(kept(qRed(c), widths[0]), kept(qGreen(c), widths[1]), kept(qBlue(c), widths[2]),
                  alpha ? kept(qAlpha(c), widths[3]) : 255);
    return p;
}

DibOptions options(int header, int bits, int compression, bool topDown = false)
{
    DibOptions o;
    o.headerSize = header, o.bits = bits, o.compression = compression, o.topDown = topDown;
    return o;
}

TEST(DibDecoder, DecodesPaletteDepthsPixelForPixel)
{
    const struct {
        const char* name;
        DibOptions options;
    } cases[] = {
        {"1 bit core header", options(12, 1, 0)},
        {"4 bits core header", options(12, 4, 0)},
        {"8 bits core header", options(12, 8, 0)},
        {"1 bit info header top-down", options(40, 1, 0, true)},
        {"4 bits info header", options(40, 4, 0)},
        {"8 bits V4 header", options(108, 8, 0)},
        {"8 bits V5 header top-down", options(124, 8, 0, true)},
        {"8 bits OS/2 2.x 64-byte header", options(64, 8, 0)},
        {"4 bits OS/2 2.x 16-byte header", options(16, 4, 0)},
        {"RLE8", options(40, 8, 1)},
        {"RLE8 top-down", options(40, 8, 1, true)},
        {"RLE4", options(40, 4, 2)},
        {"RLE4 OS/2", options(64, 4, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const IndexedPicture p = makeIndexed(37, 9, 1 << c.options.bits);
        const QByteArray file = encodeDib(c.options, &p);
        EXPECT_TRUE(looksLikeDib(file));
        const DecodeResult r = decodeDib(file);
        EXPECT_EQ(r.colorDepth, c.options.bits);
        EXPECT_TRUE(samePixels(r, 37, 9, [&](int x, int y) { return p.colour(x, y); }));
    }
    // A short colour table: the used entries, then black.
    DibOptions shortTable = options(40, 8, 0);
    shortTable.coloursUsed = 20;
    const IndexedPicture p = makeIndexed(10, 3, 20);
    EXPECT_TRUE(samePixels(decodeDib(encodeDib(shortTable, &p)), 10, 3, [&](int x, int y) { return p.colour(x, y); }));
}

TEST(DibDecoder, DecodesTrueColourAndBitFieldsPixelForPixel)
{
    const struct {
        const char* name;
        DibOptions options;
        std::uint32_t masks[4];
        int widths[4];
    } cases[] = {
        {"16 bits 555", options(40, 16, 0), {}, {5, 5, 5, 0}},
        {"16 bits 565 bit fields", options(40, 16, 3), {0xF800, 0x07E0, 0x001F, 0}, {5, 6, 5, 0}},
        {"16 bits 4444 with alpha, V5", options(124, 16, 3), {0x0F00, 0x00F0, 0x000F, 0xF000}, {4, 4, 4, 4}},
        {"24 bits", options(40, 24, 0), {}, {8, 8, 8, 0}},
        {"24 bits top-down core header", options(12, 24, 0, true), {}, {8, 8, 8, 0}},
        {"32 bits", options(40, 32, 0), {}, {8, 8, 8, 0}},
        {"32 bits bit fields, BGR order", options(40, 32, 3), {0xFF, 0xFF00, 0xFF0000, 0}, {8, 8, 8, 0}},
        {"32 bits 10-bit fields", options(56, 32, 3), {0x3FF00000, 0xFFC00, 0x3FF, 0}, {8, 8, 8, 0}},
        {"32 bits with alpha, V4", options(108, 32, 3), {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {8, 8, 8, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DibOptions o = c.options;
        if (o.headerSize == 12)
            o.topDown = false; // a core header cannot say so
        std::copy(std::begin(c.masks), std::end(c.masks), o.masks);
        const bool alpha = c.masks[3] != 0;
        const RgbPicture p = keptColours(makeRgb(23, 8, alpha ? 4 : 0), c.widths, alpha);
        const QByteArray file = encodeDib(o, nullptr, &p);
        EXPECT_TRUE(looksLikeDib(file));
        const DecodeResult r = decodeDib(file);
        EXPECT_EQ(r.colorDepth, o.bits);
        EXPECT_TRUE(samePixels(r, 23, 8, [&](int x, int y) { return p.at(x, y); }));
    }
}

TEST(DibDecoder, RleEscapesAndClipping)
{
    // 4 x 3, bottom-up: delta over row 0, a run longer than the row, then end of bitmap.
    ByteWriter w;
    w.u32le(40).u32le(4).u32le(3).u16le(1).u16le(8).u32le(1).zeros(12).u32le(3).u32le(0);
    w.u32le(0x000000).u32le(0xFF0000).u32le(0x00FF00);
    w.u8(0).u8(2).u8(1).u8(1); // delta: x 1, y 1
    w.u8(9).u8(1);              // clipped at the row end
    w.u8(0).u8(0);              // end of line
    w.u8(0).u8(3).u8(2).u8(1).u8(2).u8(0); // absolute run of 3, padded
    w.u8(0).u8(1);
    const DecodeResult r = decodeDib(w.data());
    const QRgb k = qRgb(0, 0, 0), red = qRgb(255, 0, 0), green = qRgb(0, 255, 0);
    const QRgb want[3][4] = {{green, red, green, k}, {k, red, red, red}, {k, k, k, k}}; // top row first
    EXPECT_TRUE(samePixels(r, 4, 3, [&](int x, int y) { return want[y][x]; }));
}

TEST(DibDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray raw = encodeDib(options(40, 8, 0), &p);
    const QByteArray rle = encodeDib(options(40, 8, 1), &p);
    for (qsizetype cut : {qsizetype(0), qsizetype(20), qsizetype(40), qsizetype(40 + 1000), raw.size() - 1})
        EXPECT_TRUE(failsWith(decodeDib(raw.left(cut)), "truncated")) << cut;
    for (qsizetype cut : {qsizetype(40 + 1024), qsizetype(40 + 1024 + 100)})
        EXPECT_TRUE(failsWith(decodeDib(rle.left(cut)), "truncated")) << cut;
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 0, 41)), "unknown bitmap header size 41"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 16, 4)), "unsupported compression 4"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 16, 2)), "unsupported depth 8 for compression 2"));
    EXPECT_TRUE(failsWith(decodeDib(patched16(raw, 14, 7)), "unsupported depth 7"));
    EXPECT_TRUE(failsWith(decodeDib(patched16(raw, 12, 3)), "planes"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 4, 40000)), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 8, 0)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 8, 0x80000000u)), "too large"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(raw, 32, 100000)), "colour table is too large"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(patched32(raw, 4, 20000), 8, 20000)), "truncated"));
    EXPECT_TRUE(failsWith(decodeDib(patched32(encodeDib(options(64, 8, 0), &p), 16, 3)), "unsupported compression 3"));
    EXPECT_FALSE(looksLikeDib(QByteArray("BM") + raw));
    EXPECT_FALSE(looksLikeDib(patched16(raw, 12, 0)));
}

} // namespace
} // namespace mv::imaging::test
