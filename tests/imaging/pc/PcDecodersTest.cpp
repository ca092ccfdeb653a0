// The pc family: every layout of every type comes back pixel for pixel; damaged files are
// refused with their reason.
#include "../common/Seeds.h"
#include "Encoders.h"

#include "imaging/base/Palettes.h"
#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"

namespace mv::imaging::test {
namespace {

struct PcxCase {
    const char* name;
    PcxOptions options;
    int width, depth;
};

TEST(PcxDecoder, DecodesEveryLayoutPixelForPixel)
{
    const PcxCase cases[] = {
        {"mono rle", {1, 1, true}, 37, 1},
        {"mono raw", {1, 1, false}, 16, 1},
        {"4 colours in 2 planes", {1, 2, true}, 21, 4},
        {"8 colours in 3 planes", {1, 3, true}, 21, 4},
        {"16 colours in 4 planes", {1, 4, true}, 45, 4},
        {"16 colours in 4 planes, padded lines", {1, 4, true, true, 3}, 45, 4},
        {"CGA 2 bits", {2, 1, true}, 19, 4},
        {"4 bits packed", {4, 1, false}, 23, 4},
        {"256 colours rle", {8, 1, true}, 67, 8},
        {"256 colours raw, odd width", {8, 1, false}, 33, 8},
        {"24-bit in 3 planes", {8, 3, true}, 70, 24},
        {"32-bit in 4 planes", {8, 4, true}, 31, 32},
    };
    for (const PcxCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int colours = 1 << std::min(8, c.options.bits * c.options.planes);
        IndexedPicture indexed = makeIndexed(c.width, 9, colours);
        if (colours == 2)
            indexed.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        const RgbPicture rgb = makeRgb(c.width, 9, c.options.planes == 4 ? 5 : 0);
        const bool truecolour = c.options.planes >= 3 && c.options.bits == 8;
        const QByteArray file =
            encodePcx(c.options, truecolour ? nullptr : &indexed, truecolour ? &rgb : nullptr);
        EXPECT_TRUE(looksLikePcx(file));
        const DecodeResult r = decodePcx(file);
        EXPECT_EQ(r.colorDepth, c.depth);
        EXPECT_TRUE(samePixels(
            r, c.width, 9, [&](int x, int y) { return truecolour ? rgb.at(x, y) : indexed.colour(x, y); }));
    }
}

TEST(PcxDecoder, FallsBackToDefaultColours)
{
    IndexedPicture p = makeIndexed(20, 4, 256);
    PcxOptions noPalette {8, 1, true};
    noPalette.tailPalette = false;
    EXPECT_TRUE(samePixels(decodePcx(encodePcx(noPalette, &p)), 20, 4,
                           [&](int x, int y) { return qRgb(p.at(x, y), p.at(x, y), p.at(x, y)); }));

    // Version 3 files carry no palette: the EGA colours apply.
    IndexedPicture ega = makeIndexed(20, 4, 16);
    PcxOptions v3 {4, 1, true};
    v3.version = 3;
    const QList<QRgb> standard = egaPalette();
    EXPECT_EQ(standard[6], 0xffaa5500u); // brown, not dark yellow
    EXPECT_TRUE(samePixels(decodePcx(encodePcx(v3, &ega)), 20, 4,
                           [&](int x, int y) { return standard[ega.at(x, y)]; }));
}

TEST(PcxDecoder, RunsMayCrossLineEnds)
{
    // Two lines of 4 bytes of 0x55 written as one run of 8.
    ByteWriter w;
    w.u8(0x0A).u8(5).u8(1).u8(8).u16le(0).u16le(0).u16le(3).u16le(1).zeros(52).u8(0).u8(1).u16le(4).zeros(60);
    w.u8(0xC8).u8(0x55);
    const DecodeResult r = decodePcx(w.data());
    EXPECT_TRUE(samePixels(r, 4, 2, [](int, int) { return qRgb(0x55, 0x55, 0x55); }));
}

TEST(PcxDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray good = encodePcx({8, 1, true}, &p);
    for (qsizetype cut : {qsizetype(0), qsizetype(5), qsizetype(127), qsizetype(128), qsizetype(300)})
        EXPECT_TRUE(
            failsWith(decodePcx(good.left(cut)), cut == 0 || cut == 5 || cut == 127 ? "" : "truncated"))
            << cut;
    const QByteArray raw = encodePcx({8, 1, false}, &p);
    EXPECT_TRUE(failsWith(decodePcx(raw.left(128 + 40 * 10 - 1)), "truncated"));

    QByteArray bad = good;
    bad[2] = 7;
    EXPECT_TRUE(failsWith(decodePcx(bad), "unsupported compression 7"));
    EXPECT_FALSE(looksLikePcx(bad));
    EXPECT_TRUE(failsWith(decodePcx(patched16(good, 8, 39999)), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodePcx(patched16(good, 4, 40)), "no pixels"));
    EXPECT_TRUE(failsWith(decodePcx(patched16(good, 66, 8)), "too short"));
    bad = good;
    bad[65] = 2;
    EXPECT_TRUE(failsWith(decodePcx(bad), "8 bits x 2 planes"));
    // A huge picture claimed by a tiny file is refused before anything is allocated.
    EXPECT_TRUE(
        failsWith(decodePcx(patched16(patched16(patched16(good.left(400), 8, 29999), 10, 19999), 66, 30000)),
                  "truncated"));
    EXPECT_FALSE(looksLikePcx(QByteArray(200, 'x')));
}

struct TargaCase {
    const char* name;
    TargaOptions options;
    int depth;
};

TargaOptions with(int type, int depth, auto change)
{
    TargaOptions o;
    o.type = type;
    o.depth = depth;
    change(o);
    return o;
}
auto same = [](TargaOptions&) {};

TEST(TargaDecoder, DecodesEveryTypePixelForPixel)
{
    const TargaCase cases[] = {
        {"mapped", with(1, 8, same), 8},
        {"mapped rle, 16-bit map from entry 10",
         with(9, 8, [](TargaOptions& o) { o.mapEntryBits = 16, o.mapFirst = 10; }), 8},
        {"mapped, 32-bit map with alpha",
         with(1, 8, [](TargaOptions& o) { o.mapEntryBits = 32, o.alphaBits = 8; }), 8},
        {"mapped, 15-bit map, image id",
         with(1, 8, [](TargaOptions& o) { o.mapEntryBits = 15, o.id = "hello"; }), 8},
        {"true colour 24", with(2, 24, same), 24},
        {"true colour 24 top-down", with(2, 24, [](TargaOptions& o) { o.topDown = true; }), 24},
        {"true colour 24 right-to-left", with(2, 24, [](TargaOptions& o) { o.rightToLeft = true; }), 24},
        {"true colour 32 with alpha", with(2, 32, [](TargaOptions& o) { o.alphaBits = 8; }), 32},
        {"true colour 32 rle across rows, footer",
         with(10, 32, [](TargaOptions& o) { o.alphaBits = 8, o.rleAcrossRows = true, o.footer = true; }), 32},
        {"true colour 24 rle", with(10, 24, same), 24},
        {"true colour 16 with alpha bit", with(2, 16, [](TargaOptions& o) { o.alphaBits = 1; }), 16},
        {"true colour 15 rle", with(10, 15, same), 16},
        {"grey", with(3, 8, same), 8},
        {"grey rle top-down", with(11, 8, [](TargaOptions& o) { o.topDown = true; }), 8},
        {"grey and alpha", with(3, 16, [](TargaOptions& o) { o.alphaBits = 8; }), 16},
    };
    for (const TargaCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TargaOptions& o = c.options;
        const int kind = o.type & 7;
        IndexedPicture indexed = makeIndexed(29, 7, kind == 1 ? 200 : 256);
        const bool alpha = o.alphaBits > 0;
        for (QRgb& colour : indexed.palette) {
            if (o.mapEntryBits <= 16)
                colour = to555(RgbPicture {1, 1, {colour}}).pixels[0];
            if (alpha)
                colour = qRgba(qRed(colour), qGreen(colour), qBlue(colour), qGreen(colour));
        }
        RgbPicture rgb = makeRgb(29, 7, alpha ? (o.depth == 16 && kind == 2 ? 2 : 7) : 0);
        if (o.depth <= 16 && kind == 2)
            rgb = to555(rgb);
        if (kind == 3)
            for (QRgb& colour : rgb.pixels)
                colour = qRgba(qRed(colour), qRed(colour), qRed(colour), qAlpha(colour));
        const bool fromIndex = kind == 1 || (kind == 3 && o.depth == 8);
        const QByteArray file = encodeTarga(o, fromIndex ? &indexed : nullptr, fromIndex ? nullptr : &rgb);
        EXPECT_TRUE(looksLikeTarga(file));
        const DecodeResult r = decodeTarga(file);
        EXPECT_EQ(r.colorDepth, c.depth);
        EXPECT_TRUE(samePixels(r, 29, 7, [&](int x, int y) {
            if (kind == 3 && o.depth == 8)
                return qRgb(indexed.at(x, y), indexed.at(x, y), indexed.at(x, y));
            return fromIndex ? indexed.colour(x, y) : rgb.at(x, y);
        }));
    }
}

TEST(TargaDecoder, AllZeroAlphaIsShownOpaque)
{
    RgbPicture p = makeRgb(8, 3);
    for (QRgb& c : p.pixels)
        c &= 0x00ffffffu;
    const DecodeResult r =
        decodeTarga(encodeTarga(with(2, 32, [](TargaOptions& o) { o.alphaBits = 8; }), nullptr, &p));
    EXPECT_TRUE(samePixels(r, 8, 3, [&](int x, int y) { return p.at(x, y) | 0xff000000u; }));
    EXPECT_FALSE(r.image.hasAlphaChannel());
}

TEST(TargaDecoder, RefusesDamagedFiles)
{
    const RgbPicture p = makeRgb(30, 10);
    const QByteArray raw = encodeTarga(with(2, 24, same), nullptr, &p);
    const QByteArray rle = encodeTarga(with(10, 24, same), nullptr, &p);
    for (qsizetype cut : {0, 10, 17, 18, 400, 18 + 900 - 1})
        EXPECT_TRUE(failsWith(decodeTarga(raw.left(cut)), "truncated")) << cut;
    for (qsizetype cut : {qsizetype(18), qsizetype(200), rle.size() - 1})
        EXPECT_TRUE(failsWith(decodeTarga(rle.left(cut)), "truncated")) << cut;
    EXPECT_FALSE(looksLikeTarga(raw.left(500)));

    QByteArray bad = raw;
    bad[2] = 5;
    EXPECT_TRUE(failsWith(decodeTarga(bad), "unsupported Targa type 5"));
    bad[2] = 32;
    EXPECT_TRUE(failsWith(decodeTarga(bad), "unsupported compression 32"));
    bad = raw;
    bad[16] = 20;
    EXPECT_TRUE(failsWith(decodeTarga(bad), "unsupported depth 20"));
    EXPECT_FALSE(looksLikeTarga(bad));
    EXPECT_TRUE(failsWith(decodeTarga(patched16(raw, 12, 40000)), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeTarga(patched16(raw, 14, 0)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeTarga(patched16(rle, 12, 30000)), "truncated"));
    // A colour map that runs past the end of the file.
    const IndexedPicture mapped = makeIndexed(4, 4, 16);
    EXPECT_TRUE(
        failsWith(decodeTarga(patched16(encodeTarga(with(1, 8, same), &mapped), 5, 5000)), "truncated"));
    EXPECT_FALSE(looksLikeTarga(QByteArray("\x0A\x05\x01\x08", 4) + QByteArray(200, '\0')));
}

TEST(SunRasterDecoder, DecodesEveryTypePixelForPixel)
{
    const struct {
        const char* name;
        SunOptions options;
        int width;
    } cases[] = {
        {"1 bit, no map", {1, 1, false}, 21},
        {"1 bit, map", {1, 1, true}, 19},
        {"8 bits with map, old type", {8, 0, true}, 33},
        {"8 bits with map, rle", {8, 2, true}, 33},
        {"8 bits grey, odd width", {8, 1, false}, 7},
        {"24 bits BGR", {24, 1, false}, 13},
        {"24 bits rle", {24, 2, false}, 40},
        {"24 bits RGB type", {24, 3, false}, 13},
        {"32 bits", {32, 1, false}, 9},
        {"32 bits RGB type, rle", {32, 2, false}, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int depth = c.options.depth;
        IndexedPicture indexed = makeIndexed(c.width, 6, depth == 1 ? 2 : 256);
        if (!c.options.colourMap)
            indexed.palette = depth == 1 ? QList<QRgb> {qRgb(255, 255, 255), qRgb(0, 0, 0)} : QList<QRgb> {};
        const RgbPicture rgb = makeRgb(c.width, 6);
        const QByteArray file =
            encodeSun(c.options, depth <= 8 ? &indexed : nullptr, depth <= 8 ? nullptr : &rgb);
        EXPECT_TRUE(looksLikeSunRaster(file));
        const DecodeResult r = decodeSunRaster(file);
        EXPECT_EQ(r.colorDepth, depth);
        EXPECT_TRUE(samePixels(r, c.width, 6, [&](int x, int y) {
            if (depth > 8)
                return rgb.at(x, y);
            if (indexed.palette.isEmpty())
                return qRgb(indexed.at(x, y), indexed.at(x, y), indexed.at(x, y));
            return indexed.colour(x, y);
        }));
    }
}

TEST(SunRasterDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray raw = encodeSun({8, 1, true}, &p);
    const QByteArray rle = encodeSun({8, 2, true}, &p);
    for (qsizetype cut :
         {qsizetype(0), qsizetype(31), qsizetype(32), qsizetype(32 + 768 + 100), raw.size() - 1})
        EXPECT_TRUE(failsWith(decodeSunRaster(raw.left(cut)), cut == 0 || cut == 31 ? "" : "truncated"))
            << cut;
    EXPECT_TRUE(failsWith(decodeSunRaster(rle.left(rle.size() - 2)), "truncated"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 20, 4, true)), "unsupported Sun raster type 4"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 12, 4, true)), "unsupported depth 4"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 4, 40000, true)), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 8, 0, true)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 28, 0xFFFFFFF0u, true)), "truncated"));
    EXPECT_TRUE(
        failsWith(decodeSunRaster(patched32(patched32(rle, 4, 30000, true), 8, 30000, true)), "truncated"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 0, 0x12345678, true)), "not a Sun raster"));
    EXPECT_FALSE(looksLikeSunRaster(patched32(raw, 12, 4, true)));
}

// What the decoder makes of a channel kept in `width` bits: scaled back to 0..255.
int kept(int c, int width)
{
    return width >= 8 ? c : (c >> (8 - width)) * 255 / ((1 << width) - 1);
}

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
    EXPECT_TRUE(samePixels(decodeDib(encodeDib(shortTable, &p)), 10, 3,
                           [&](int x, int y) { return p.colour(x, y); }));
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
    w.u8(0).u8(2).u8(1).u8(1);             // delta: x 1, y 1
    w.u8(9).u8(1);                         // clipped at the row end
    w.u8(0).u8(0);                         // end of line
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
    EXPECT_TRUE(failsWith(decodeDib(patched32(encodeDib(options(64, 8, 0), &p), 16, 3)),
                          "unsupported compression 3"));
    EXPECT_FALSE(looksLikeDib(QByteArray("BM") + raw));
    EXPECT_FALSE(looksLikeDib(patched16(raw, 12, 0)));
}

IndexedPicture blackAndWhite(int width, int height)
{
    IndexedPicture p = makeIndexed(width, height, 2);
    p.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return p;
}

TEST(MspDecoder, DecodesBothVersionsPixelForPixel)
{
    for (int version : {1, 2}) {
        for (int width : {8, 29, 200}) {
            SCOPED_TRACE(testing::Message() << "version " << version << ", width " << width);
            const IndexedPicture p = blackAndWhite(width, 11);
            const QByteArray file = encodeMsp(version, p);
            EXPECT_TRUE(looksLikeMsp(file));
            const DecodeResult r = decodeMsp(file);
            EXPECT_EQ(r.colorDepth, 1);
            EXPECT_TRUE(samePixels(r, width, 11, [&](int x, int y) { return p.colour(x, y); }));
        }
    }
}

TEST(MspDecoder, EmptyAndShortRowsAreWhite)
{
    // Version 2, 16 x 2: row 0 has length 0, row 1 holds one byte of black only.
    ByteWriter w;
    w.bytes("LinS").u16le(16).u16le(2).zeros(24).u16le(0).u16le(2).u8(1).u8(0x00);
    const DecodeResult r = decodeMsp(w.data());
    EXPECT_TRUE(samePixels(
        r, 16, 2, [](int x, int y) { return y == 1 && x < 8 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); }));
}

TEST(MspDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = blackAndWhite(64, 20);
    const QByteArray v1 = encodeMsp(1, p), v2 = encodeMsp(2, p);
    for (qsizetype cut : {qsizetype(3), qsizetype(20), qsizetype(32), qsizetype(100), v1.size() - 1})
        EXPECT_TRUE(failsWith(decodeMsp(v1.left(cut)), cut == 3 ? "not a Microsoft Paint" : "truncated"))
            << cut;
    for (qsizetype cut : {qsizetype(32), qsizetype(32 + 39), qsizetype(80), v2.size() - 1})
        EXPECT_TRUE(failsWith(decodeMsp(v2.left(cut)), "truncated")) << cut;
    EXPECT_TRUE(failsWith(decodeMsp(patched16(v2, 32, 60000)), "truncated"));
    EXPECT_TRUE(failsWith(decodeMsp(patched16(v1, 4, 0)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeMsp(patched16(patched16(v1, 4, 30000), 6, 30000)), "truncated"));
    EXPECT_FALSE(looksLikeMsp(QByteArray("DanN") + v1.mid(4)));
}

// A picture with equal lines in a row, so that vertical replication is used.
IndexedPicture withRepeats(int width, int height, int colours)
{
    IndexedPicture p = makeIndexed(width, height, colours);
    for (int y = 3; y < 7 && y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.index[size_t(y * width + x)] = p.at(x, 2);
    return p;
}

TEST(GemImgDecoder, DecodesPlanesAndPalettesPixelForPixel)
{
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    const struct {
        const char* name;
        GemOptions options;
        QList<QRgb> standard; // empty: the XIMG palette of the picture
        int depth;
    } cases[] = {
        {"monochrome", {1, 2, false}, {white, black}, 1},
        {"monochrome, pattern length 1", {1, 1, false}, {white, black}, 1},
        {"2 planes, standard colours", {2, 2, false}, {white, qRgb(255, 0, 0), qRgb(0, 255, 0), black}, 4},
        {"4 planes XIMG", {4, 2, true}, {}, 4},
        {"8 planes XIMG, pattern length 3", {8, 3, true}, {}, 8},
        {"3 planes XIMG", {3, 2, true}, {}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IndexedPicture p = withRepeats(45, 12, 1 << c.options.planes);
        if (!c.standard.isEmpty())
            p.palette = c.standard;
        const QByteArray file = encodeGemImg(c.options, p);
        for (QRgb& colour : p.palette) { // 0..1000 keeps 8-bit steps only approximately
            auto back = [](int v) { return (v * 1000 / 255) * 255 / 1000; };
            colour = qRgb(back(qRed(colour)), back(qGreen(colour)), back(qBlue(colour)));
        }
        EXPECT_TRUE(looksLikeGemImg(file));
        const DecodeResult r = decodeGemImg(file);
        EXPECT_EQ(r.colorDepth, c.depth);
        EXPECT_TRUE(samePixels(r, 45, 12, [&](int x, int y) { return p.colour(x, y); }));
    }
}

TEST(GemImgDecoder, RunsAreClippedAtTheLineEnd)
{
    // 8 x 2 monochrome: a solid run of 5 bytes for a 1-byte line, then a bit string.
    ByteWriter w;
    w.u16be(1).u16be(8).u16be(1).u16be(2).u16be(85).u16be(85).u16be(8).u16be(2);
    w.u8(0x85).u8(0x80).u8(1).u8(0x0F);
    const DecodeResult r = decodeGemImg(w.data());
    EXPECT_TRUE(samePixels(
        r, 8, 2, [](int x, int y) { return y == 0 || x >= 4 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); }));
}

TEST(GemImgDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = withRepeats(64, 20, 16);
    const QByteArray good = encodeGemImg({4, 2, false}, p);
    for (qsizetype cut : {qsizetype(0), qsizetype(10), qsizetype(16), qsizetype(40), good.size() - 1})
        EXPECT_TRUE(failsWith(decodeGemImg(good.left(cut)), "truncated")) << cut;
    // Data that stops inside a replication code must end the decode, not spin on it.
    EXPECT_TRUE(failsWith(decodeGemImg(good.left(16) + QByteArray(2, '\0')), "truncated"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 4, 9, true)), "unsupported number of planes 9"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 6, 0, true)), "unsupported pattern length 0"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 2, 4000, true)), "header length 4000"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 12, 40000, true)), "too large (40000 x 20)"));
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(good, 14, 0, true)), "no pixels"));
    EXPECT_TRUE(
        failsWith(decodeGemImg(patched16(patched16(good, 12, 30000, true), 14, 30000, true)), "truncated"));
    EXPECT_FALSE(looksLikeGemImg(patched16(good, 0, 77, true)));
}

TEST(CutDecoder, DecodesWithAndWithoutPalette)
{
    for (int maximum : {63, 255, 1023}) {
        SCOPED_TRACE(maximum);
        const IndexedPicture p = makeIndexed(150, 7, 200); // 200 triples cross a 512-byte block
        const QByteArray file = encodeCut(p);
        EXPECT_TRUE(looksLikeCut(file));
        const DecodeResult r = decodeCut(file, encodeHaloPalette(p.palette, maximum));
        EXPECT_EQ(r.colorDepth, 8);
        auto kept = [&](int c) { return (c * maximum / 255) * 255 / maximum; };
        EXPECT_TRUE(samePixels(r, 150, 7, [&](int x, int y) {
            const QRgb c = p.colour(x, y);
            return qRgb(kept(qRed(c)), kept(qGreen(c)), kept(qBlue(c)));
        }));
    }
    const IndexedPicture p = makeIndexed(30, 5, 256);
    const auto grey = [&](int x, int y) { return qRgb(p.at(x, y), p.at(x, y), p.at(x, y)); };
    EXPECT_TRUE(samePixels(decodeCut(encodeCut(p), {}), 30, 5, grey));
    EXPECT_TRUE(samePixels(decodeCut(encodeCut(p), "not a palette file"), 30, 5, grey));
}

TEST(CutDecoder, ShortRowsKeepIndexZeroAndLongRunsAreClipped)
{
    ByteWriter w;
    w.u16le(4).u16le(2).u16le(0);
    w.u16le(3).u8(0x81).u8(9).u8(0);       // one pixel of 9, rest index 0
    w.u16le(4).u8(0x8A).u8(7).u8(1).u8(0); // a run of 10 clipped to 4
    const DecodeResult r = decodeCut(w.data(), {});
    EXPECT_TRUE(samePixels(r, 4, 2, [](int x, int y) {
        const int v = y == 0 ? (x == 0 ? 9 : 0) : 7;
        return qRgb(v, v, v);
    }));
    EXPECT_FALSE(looksLikeCut(w.data())); // the first row is not as wide as the picture
}

TEST(CutDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(60, 10, 256);
    const QByteArray good = encodeCut(p);
    for (qsizetype cut : {qsizetype(0), qsizetype(5), qsizetype(6), qsizetype(40), good.size() - 1})
        EXPECT_TRUE(failsWith(decodeCut(good.left(cut), {}), "truncated")) << cut;
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 0, 40000), {}), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 2, 0), {}), "no pixels"));
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 6, 60000), {}), "truncated"));
    EXPECT_TRUE(failsWith(decodeCut(patched16(good, 2, 30000), {}), "truncated"));
    EXPECT_FALSE(looksLikeCut(patched16(good, 4, 1)));
    // A palette file cut short: the colours it holds, black for the rest.
    const QByteArray pal = encodeHaloPalette(p.palette, 255).left(40 + 6 * 3);
    const DecodeResult r = decodeCut(good, pal);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.color(2), p.palette[2]);
    EXPECT_EQ(r.image.color(3), qRgb(0, 0, 0));
}

// The CUT fuzz target reads the palette size from the first byte, in 16-byte blocks.
QByteArray cutSeed(const IndexedPicture& p, bool withPalette)
{
    QByteArray pal = withPalette ? encodeHaloPalette(p.palette, 63) : QByteArray();
    pal.append(QByteArray((16 - pal.size() % 16) % 16, '\0'));
    return char(pal.size() / 16) + encodeCut(p) + pal;
}

DecodeResult decodeCutSeed(QByteArrayView seed)
{
    const qsizetype palette = qsizetype(std::uint8_t(seed[0])) * 16;
    return decodeCut(seed.sliced(1, seed.size() - 1 - palette), seed.last(palette));
}

TEST(PcCorpus, SeedsDecodeAndAreWrittenOnRequest)
{
    const IndexedPicture mono = makeIndexed(19, 6, 2), sixteen = makeIndexed(21, 6, 16),
                         full = makeIndexed(17, 6, 256);
    const RgbPicture rgb = makeRgb(13, 5), rgba = makeRgb(13, 5, 4);
    TargaOptions mapped, trueRle;
    mapped.type = 9, mapped.depth = 8;
    trueRle.type = 10, trueRle.depth = 32, trueRle.alphaBits = 8, trueRle.footer = true;
    DibOptions rle4, fields, core;
    rle4.bits = 4, rle4.compression = 2;
    fields.headerSize = 108, fields.bits = 16, fields.compression = 3, fields.topDown = true;
    fields.masks[0] = 0xF800, fields.masks[1] = 0x07E0, fields.masks[2] = 0x1F;
    core.headerSize = 12, core.bits = 8;
    checkSeeds({{"pcx/mono.pcx", encodePcx({1, 1, true}, &mono), decodePcx},
                {"pcx/planes16.pcx", encodePcx({1, 4, true}, &sixteen), decodePcx},
                {"pcx/palette256.pcx", encodePcx({8, 1, true}, &full), decodePcx},
                {"pcx/rgb.pcx", encodePcx({8, 3, true}, nullptr, &rgb), decodePcx},
                {"targa/mapped-rle.tga", encodeTarga(mapped, &full), decodeTarga},
                {"targa/rgba-rle.tga", encodeTarga(trueRle, nullptr, &rgba), decodeTarga},
                {"targa/rgb.tga", encodeTarga({}, nullptr, &rgb), decodeTarga},
                {"sunraster/mono.ras", encodeSun({1, 1, false}, &mono), decodeSunRaster},
                {"sunraster/mapped-rle.ras", encodeSun({8, 2, true}, &full), decodeSunRaster},
                {"sunraster/rgb.ras", encodeSun({24, 3, false}, nullptr, &rgb), decodeSunRaster},
                {"dib/rle8.dib", encodeDib({40, 8, 1}, &full), decodeDib},
                {"dib/rle4.dib", encodeDib(rle4, &sixteen), decodeDib},
                {"dib/fields565.dib", encodeDib(fields, nullptr, &rgb), decodeDib},
                {"dib/core.dib", encodeDib(core, &full), decodeDib},
                {"msp/v1.msp", encodeMsp(1, mono), decodeMsp},
                {"msp/v2.msp", encodeMsp(2, mono), decodeMsp},
                {"gemimg/mono.img", encodeGemImg({1, 2, false}, mono), decodeGemImg},
                {"gemimg/ximg16.img", encodeGemImg({4, 2, true}, sixteen), decodeGemImg},
                {"cut/with-palette.bin", cutSeed(full, true), decodeCutSeed},
                {"cut/grey.bin", cutSeed(full, false), decodeCutSeed}},
               8192);
}

} // namespace
} // namespace mv::imaging::test
