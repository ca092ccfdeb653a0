// The pc family: PCX, Targa, Sun Raster, bare DIBs, Microsoft Paint, GEM IMG and Dr. Halo CUT.
// Every layout comes back pixel for pixel; damaged files are refused with their reason; and the
// seeds of their fuzz targets.
#include "../common/Checks.h"
#include "Encoders.h"

#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"

namespace mv::imaging::test {
namespace {

const QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);

struct Refusal {
    QByteArray file;
    const char* words;
};

// Each file is refused, its reason containing its words.
template <typename Decode>
void expectRefused(Decode decode, std::initializer_list<Refusal> refusals)
{
    for (const Refusal& r : refusals)
        EXPECT_TRUE(failsWith(decode(r.file), r.words));
}

// The colours rounded to 5 bits per channel, as a 15-bit pixel keeps them.
QRgb to555(QRgb c)
{
    const auto five = [](int v) { return (v >> 3 << 3) | (v >> 5); };
    return qRgba(five(qRed(c)), five(qGreen(c)), five(qBlue(c)), qAlpha(c));
}

TEST(PcxDecoder, DecodesEveryLayoutPixelForPixel)
{
    const struct {
        const char* name;
        PcxOptions options;
        int width, depth;
    } cases[] = {
        {"mono rle", {1, 1, true}, 37, 1},
        {"mono raw", {1, 1, false}, 16, 1},
        {"4 colours in 2 planes", {1, 2, true}, 21, 4},
        {"8 colours in 3 planes", {1, 3, true}, 21, 4},
        {"16 colours in 4 planes, padded lines", {1, 4, true, true, 3}, 45, 4},
        {"CGA 2 bits", {2, 1, true}, 19, 4},
        {"4 bits packed", {4, 1, false}, 23, 4},
        {"256 colours rle", {8, 1, true}, 67, 8},
        {"256 colours raw, odd width", {8, 1, false}, 33, 8},
        {"24-bit in 3 planes", {8, 3, true}, 70, 24},
        {"32-bit in 4 planes", {8, 4, true}, 31, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int colours = 1 << std::min(8, c.options.bits * c.options.planes);
        IndexedPicture indexed = makeIndexed(c.width, 9, colours);
        if (colours == 2)
            indexed.palette = {kBlack, kWhite};
        const RgbPicture rgb = makeRgb(c.width, 9, c.options.planes == 4 ? 5 : 0);
        if (c.options.planes >= 3 && c.options.bits == 8)
            EXPECT_TRUE(
                decodesTo(looksLikePcx, decodePcx, encodePcx(c.options, nullptr, &rgb), c.depth, rgb));
        else
            EXPECT_TRUE(decodesTo(looksLikePcx, decodePcx, encodePcx(c.options, &indexed), c.depth, indexed));
    }
    // No palette after the pixels: grey levels; version 3 carries none: the EGA colours.
    IndexedPicture p = makeIndexed(20, 4, 256), ega = makeIndexed(20, 4, 16);
    EXPECT_TRUE(samePixels(decodePcx(encodePcx({8, 1, true, false}, &p)), 20, 4,
                           [&](int x, int y) { return qRgb(p.at(x, y), p.at(x, y), p.at(x, y)); }));
    EXPECT_EQ(egaPalette()[6], 0xffaa5500u); // brown, not dark yellow
    EXPECT_TRUE(samePixels(decodePcx(encodePcx({4, 1, true, true, 0, 3}, &ega)), 20, 4,
                           [&](int x, int y) { return egaPalette()[ega.at(x, y)]; }));
    // Two lines of 4 bytes of 0x55 written as one run of 8.
    ByteWriter w;
    w.u8(0x0A).u8(5).u8(1).u8(8).u16le(0).u16le(0).u16le(3).u16le(1).zeros(52).u8(0).u8(1).u16le(4).zeros(60);
    EXPECT_TRUE(samePixels(decodePcx(w.u8(0xC8).u8(0x55).data()), 4, 2,
                           [](int, int) { return qRgb(0x55, 0x55, 0x55); }));
}

TEST(PcxDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray good = encodePcx({8, 1, true}, &p), raw = encodePcx({8, 1, false}, &p);
    EXPECT_TRUE(cutsFail(decodePcx, good, {0, 5, 127}, ""));
    EXPECT_TRUE(cutsFail(decodePcx, good, {128, 300}, "truncated"));
    expectRefused(
        decodePcx,
        {{raw.left(128 + 40 * 10 - 1), "truncated"},
         {patched(good, {{2, 7}}), "unsupported compression 7"},
         {patched16(good, 8, 39999), "too large (40000 x 10)"},
         {patched16(good, 4, 40), "no pixels"},
         {patched16(good, 66, 8), "too short"},
         {patched(good, {{65, 2}}), "8 bits x 2 planes"},
         // A huge picture claimed by a tiny file is refused before anything is allocated.
         {patched16(patched16(patched16(good.left(400), 8, 29999), 10, 19999), 66, 30000), "truncated"}});
    EXPECT_FALSE(looksLikePcx(patched(good, {{2, 7}})));
    EXPECT_FALSE(looksLikePcx(QByteArray(200, 'x')));
}

TEST(TargaDecoder, DecodesEveryTypePixelForPixel)
{
    const struct {
        const char* name;
        TargaOptions options;
        int depth;
    } cases[] = {
        {"mapped", {.type = 1, .depth = 8}, 8},
        {"mapped rle, 16-bit map from entry 10",
         {.type = 9, .depth = 8, .mapEntryBits = 16, .mapFirst = 10},
         8},
        {"mapped, 32-bit map with alpha", {.type = 1, .depth = 8, .mapEntryBits = 32, .alphaBits = 8}, 8},
        {"mapped, 15-bit map, image id", {.type = 1, .depth = 8, .mapEntryBits = 15, .id = "hello"}, 8},
        {"true colour 24 top-down", {.type = 2, .depth = 24, .topDown = true}, 24},
        {"true colour 24 right-to-left", {.type = 2, .depth = 24, .rightToLeft = true}, 24},
        {"true colour 32 with alpha", {.type = 2, .depth = 32, .alphaBits = 8}, 32},
        {"true colour 32 rle across rows, footer",
         {.type = 10, .depth = 32, .alphaBits = 8, .rleAcrossRows = true, .footer = true},
         32},
        {"true colour 24 rle", {.type = 10, .depth = 24}, 24},
        {"true colour 16 with alpha bit", {.type = 2, .depth = 16, .alphaBits = 1}, 16},
        {"true colour 15 rle", {.type = 10, .depth = 15}, 16},
        {"grey", {.type = 3, .depth = 8}, 8},
        {"grey rle top-down", {.type = 11, .depth = 8, .topDown = true}, 8},
        {"grey and alpha", {.type = 3, .depth = 16, .alphaBits = 8}, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TargaOptions& o = c.options;
        const int kind = o.type & 7;
        const bool alpha = o.alphaBits > 0;
        IndexedPicture indexed = makeIndexed(29, 7, kind == 1 ? 200 : 256);
        for (QRgb& colour : indexed.palette) {
            colour = o.mapEntryBits <= 16 ? to555(colour) : colour;
            colour = alpha ? qRgba(qRed(colour), qGreen(colour), qBlue(colour), qGreen(colour)) : colour;
        }
        RgbPicture rgb = makeRgb(29, 7, alpha ? (o.depth == 16 && kind == 2 ? 2 : 7) : 0);
        for (QRgb& colour : rgb.pixels) {
            colour = o.depth <= 16 && kind == 2 ? to555(colour) : colour;
            colour = kind == 3 ? qRgba(qRed(colour), qRed(colour), qRed(colour), qAlpha(colour)) : colour;
        }
        if (kind == 1 || (kind == 3 && o.depth == 8)) {
            const QByteArray file = encodeTarga(o, &indexed);
            if (kind == 3)
                indexed.palette = greyRamp(256); // the index is the level
            EXPECT_TRUE(decodesTo(looksLikeTarga, decodeTarga, file, c.depth, indexed));
        } else {
            EXPECT_TRUE(decodesTo(looksLikeTarga, decodeTarga, encodeTarga(o, nullptr, &rgb), c.depth, rgb));
        }
    }
    // All-zero alpha is shown opaque.
    RgbPicture p = makeRgb(8, 3);
    for (QRgb& c : p.pixels)
        c &= 0x00ffffffu;
    const DecodeResult r = decodeTarga(encodeTarga({.type = 2, .depth = 32, .alphaBits = 8}, nullptr, &p));
    EXPECT_TRUE(samePixels(r, 8, 3, [&](int x, int y) { return p.at(x, y) | 0xff000000u; }));
    EXPECT_FALSE(r.image.hasAlphaChannel());
    // Packets that run on from one row into the next: a run packet (one colour), a raw one (noise).
    for (const bool flat : {true, false}) {
        RgbPicture q = makeRgb(29, 7);
        for (size_t i = 0; i < q.pixels.size(); ++i)
            q.pixels[i] = flat ? qRgb(1, 2, 3) : 0xff000000u | (noise(int(i), 7) & 0xffffffu);
        const QByteArray file = encodeTarga({.type = 10, .depth = 24, .rleAcrossRows = true}, nullptr, &q);
        EXPECT_TRUE(samePixels(decodeTarga(file), 29, 7, [&](int x, int y) { return q.at(x, y); })) << flat;
    }
}

TEST(TargaDecoder, RefusesDamagedFiles)
{
    const RgbPicture p = makeRgb(30, 10);
    const IndexedPicture mapped = makeIndexed(4, 4, 16);
    const QByteArray raw = encodeTarga({.type = 2, .depth = 24}, nullptr, &p);
    const QByteArray rle = encodeTarga({.type = 10, .depth = 24}, nullptr, &p);
    EXPECT_TRUE(cutsFail(decodeTarga, raw, {0, 10, 17, 18, 400, 18 + 900 - 1}, "truncated"));
    EXPECT_TRUE(cutsFail(decodeTarga, rle, {18, 200, rle.size() - 1}, "truncated"));
    expectRefused(decodeTarga,
                  {{patched(raw, {{2, 5}}), "unsupported Targa type 5"},
                   {patched(raw, {{2, 32}}), "unsupported compression 32"},
                   {patched(raw, {{16, 20}}), "unsupported depth 20"},
                   {patched16(raw, 12, 40000), "too large (40000 x 10)"},
                   {patched16(raw, 14, 0), "no pixels"},
                   {patched16(rle, 12, 30000), "truncated"},
                   // A colour map that runs past the end of the file.
                   {patched16(encodeTarga({.type = 1, .depth = 8}, &mapped), 5, 5000), "truncated"}});
    EXPECT_FALSE(looksLikeTarga(raw.left(500)));
    EXPECT_FALSE(looksLikeTarga(patched(raw, {{16, 20}})));
    EXPECT_FALSE(looksLikeTarga(QByteArray("\x0A\x05\x01\x08", 4) + QByteArray(200, '\0')));
}

TEST(SunRasterDecoder, DecodesEveryTypePixelForPixelAndRefusesDamage)
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
        const RgbPicture rgb = makeRgb(c.width, 6);
        if (depth > 8) {
            EXPECT_TRUE(decodesTo(looksLikeSunRaster, decodeSunRaster, encodeSun(c.options, nullptr, &rgb),
                                  depth, rgb));
            continue;
        }
        if (!c.options.colourMap)
            indexed.palette = depth == 1 ? QList<QRgb> {kWhite, kBlack} : QList<QRgb> {};
        const QByteArray file = encodeSun(c.options, &indexed);
        if (indexed.palette.isEmpty())
            indexed.palette = greyRamp(256); // no map: the index is the level
        EXPECT_TRUE(decodesTo(looksLikeSunRaster, decodeSunRaster, file, depth, indexed));
    }
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray raw = encodeSun({8, 1, true}, &p), rle = encodeSun({8, 2, true}, &p);
    EXPECT_TRUE(cutsFail(decodeSunRaster, raw, {0, 31}, ""));
    EXPECT_TRUE(cutsFail(decodeSunRaster, raw, {32, 32 + 768 + 100, raw.size() - 1}, "truncated"));
    expectRefused(decodeSunRaster, {{rle.left(rle.size() - 2), "truncated"},
                                    {patched32(raw, 20, 4, true), "unsupported Sun raster type 4"},
                                    {patched32(raw, 12, 4, true), "unsupported depth 4"},
                                    {patched32(raw, 4, 40000, true), "too large (40000 x 10)"},
                                    {patched32(raw, 8, 0, true), "no pixels"},
                                    {patched32(raw, 28, 0xFFFFFFF0u, true), "truncated"},
                                    {patched32(patched32(rle, 4, 30000, true), 8, 30000, true), "truncated"},
                                    {patched32(raw, 0, 0x12345678, true), "not a Sun raster"}});
    EXPECT_FALSE(looksLikeSunRaster(patched32(raw, 12, 4, true)));
}

DibOptions options(int header, int bits, int compression, bool topDown = false)
{
    return {.headerSize = header, .bits = bits, .compression = compression, .topDown = topDown};
}

TEST(DibDecoder, DecodesPaletteDepthsRleTrueColourAndBitFieldsPixelForPixel)
{
    const struct {
        const char* name;
        DibOptions options;
    } indexedCases[] = {
        {"1 bit core header", options(12, 1, 0)},
        {"4 bits core header", options(12, 4, 0)},
        {"1 bit info header top-down", options(40, 1, 0, true)},
        {"8 bits V4 header", options(108, 8, 0)},
        {"8 bits V5 header top-down", options(124, 8, 0, true)},
        {"8 bits OS/2 2.x 64-byte header", options(64, 8, 0)},
        {"4 bits OS/2 2.x 16-byte header", options(16, 4, 0)},
        {"RLE8 top-down", options(40, 8, 1, true)},
        {"RLE4", options(40, 4, 2)},
        {"RLE4 OS/2", options(64, 4, 2)},
    };
    for (const auto& c : indexedCases) {
        SCOPED_TRACE(c.name);
        const IndexedPicture p = makeIndexed(37, 9, 1 << c.options.bits);
        EXPECT_TRUE(decodesTo(looksLikeDib, decodeDib, encodeDib(c.options, &p), c.options.bits, p));
    }
    // A short colour table: the used entries, then black.
    DibOptions shortTable = options(40, 8, 0);
    shortTable.coloursUsed = 20;
    const IndexedPicture p = makeIndexed(10, 3, 20);
    EXPECT_TRUE(decodesTo(looksLikeDib, decodeDib, encodeDib(shortTable, &p), 8, p));

    const struct {
        const char* name;
        DibOptions options;
        std::array<std::uint32_t, 4> masks;
        std::array<int, 4> widths; // the bits each channel keeps
    } rgbCases[] = {
        {"16 bits 555", options(40, 16, 0), {}, {5, 5, 5, 0}},
        {"16 bits 565 bit fields", options(40, 16, 3), {0xF800, 0x07E0, 0x001F, 0}, {5, 6, 5, 0}},
        {"16 bits 4444 with alpha, V5", options(124, 16, 3), {0x0F00, 0x00F0, 0x000F, 0xF000}, {4, 4, 4, 4}},
        {"24 bits top-down", options(40, 24, 0, true), {}, {8, 8, 8, 0}},
        {"32 bits", options(40, 32, 0), {}, {8, 8, 8, 0}},
        {"32 bits bit fields, BGR order", options(40, 32, 3), {0xFF, 0xFF00, 0xFF0000, 0}, {8, 8, 8, 0}},
        {"32 bits 10-bit fields", options(56, 32, 3), {0x3FF00000, 0xFFC00, 0x3FF, 0}, {8, 8, 8, 0}},
        {"32 bits with alpha, V4", options(108, 32, 3), {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {8, 8, 8, 8}},
    };
    for (const auto& c : rgbCases) {
        SCOPED_TRACE(c.name);
        DibOptions o = c.options;
        std::copy(c.masks.begin(), c.masks.end(), o.masks);
        RgbPicture rgb = makeRgb(23, 8, c.widths[3] ? 4 : 0);
        for (QRgb& colour : rgb.pixels) {
            const auto kept = [&](int v, int width) {
                return width >= 8 ? v : (v >> (8 - width)) * 255 / ((1 << width) - 1);
            };
            colour = qRgba(kept(qRed(colour), c.widths[0]), kept(qGreen(colour), c.widths[1]),
                           kept(qBlue(colour), c.widths[2]),
                           c.widths[3] ? kept(qAlpha(colour), c.widths[3]) : 255);
        }
        EXPECT_TRUE(decodesTo(looksLikeDib, decodeDib, encodeDib(o, nullptr, &rgb), o.bits, rgb));
    }
    // 4 x 3 RLE8, bottom-up: delta over row 0, a run longer than the row, then end of bitmap.
    ByteWriter w;
    w.u32le(40).u32le(4).u32le(3).u16le(1).u16le(8).u32le(1).zeros(12).u32le(3).u32le(0);
    w.u32le(0x000000).u32le(0xFF0000).u32le(0x00FF00);
    w.u8(0).u8(2).u8(1).u8(1).u8(9).u8(1).u8(0).u8(0); // delta x 1, y 1; clipped at the row end; end of line
    w.u8(0).u8(3).u8(2).u8(1).u8(2).u8(0).u8(0).u8(1); // absolute run of 3, padded; end of bitmap
    const QRgb k = kBlack, red = qRgb(255, 0, 0), green = qRgb(0, 255, 0);
    const QRgb want[3][4] = {{green, red, green, k}, {k, red, red, red}, {k, k, k, k}}; // top row first
    EXPECT_TRUE(samePixels(decodeDib(w.data()), 4, 3, [&](int x, int y) { return want[y][x]; }));
}

TEST(DibDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray raw = encodeDib(options(40, 8, 0), &p), rle = encodeDib(options(40, 8, 1), &p);
    EXPECT_TRUE(cutsFail(decodeDib, raw, {0, 20, 40, 40 + 1000, raw.size() - 1}, "truncated"));
    EXPECT_TRUE(cutsFail(decodeDib, rle, {40 + 1024, 40 + 1024 + 100}, "truncated"));
    expectRefused(decodeDib,
                  {{patched32(raw, 0, 41), "unknown bitmap header size 41"},
                   {patched32(raw, 16, 4), "unsupported compression 4"},
                   {patched32(raw, 16, 2), "unsupported depth 8 for compression 2"},
                   {patched16(raw, 14, 7), "unsupported depth 7"},
                   {patched16(raw, 12, 3), "planes"},
                   {patched32(raw, 4, 40000), "too large (40000 x 10)"},
                   {patched32(raw, 8, 0), "no pixels"},
                   {patched32(raw, 8, 0x80000000u), "too large"},
                   {patched32(raw, 32, 100000), "colour table is too large"},
                   {patched32(patched32(raw, 4, 20000), 8, 20000), "truncated"},
                   {patched32(encodeDib(options(64, 8, 0), &p), 16, 3), "unsupported compression 3"}});
    EXPECT_FALSE(looksLikeDib(QByteArray("BM") + raw));
    EXPECT_FALSE(looksLikeDib(patched16(raw, 12, 0)));
}

IndexedPicture blackAndWhite(int width, int height)
{
    IndexedPicture p = makeIndexed(width, height, 2);
    p.palette = {kBlack, kWhite};
    return p;
}

TEST(MspDecoder, DecodesBothVersionsShortRowsAsWhiteAndRefusesDamage)
{
    for (int version : {1, 2})
        for (int width : {8, 29, 200}) {
            const IndexedPicture p = blackAndWhite(width, 11);
            EXPECT_TRUE(decodesTo(looksLikeMsp, decodeMsp, encodeMsp(version, p), 1, p))
                << version << " " << width;
        }
    // Version 2, 16 x 2: row 0 has length 0, row 1 holds one byte of black only.
    ByteWriter w;
    w.bytes("LinS").u16le(16).u16le(2).zeros(24).u16le(0).u16le(2).u8(1).u8(0x00);
    EXPECT_TRUE(samePixels(decodeMsp(w.data()), 16, 2,
                           [](int x, int y) { return y == 1 && x < 8 ? kBlack : kWhite; }));

    const IndexedPicture p = blackAndWhite(64, 20);
    const QByteArray v1 = encodeMsp(1, p), v2 = encodeMsp(2, p);
    EXPECT_TRUE(cutsFail(decodeMsp, v1, {3}, "not a Microsoft Paint"));
    EXPECT_TRUE(cutsFail(decodeMsp, v1, {20, 32, 100, v1.size() - 1}, "truncated"));
    EXPECT_TRUE(cutsFail(decodeMsp, v2, {32, 32 + 39, 80, v2.size() - 1}, "truncated"));
    expectRefused(decodeMsp, {{patched16(v2, 32, 60000), "truncated"},
                              {patched16(v1, 4, 0), "no pixels"},
                              {patched16(patched16(v1, 4, 30000), 6, 30000), "truncated"}});
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

TEST(GemImgDecoder, DecodesPlanesAndPalettesClipsRunsAtTheLineEndAndRefusesDamage)
{
    const struct {
        const char* name;
        GemOptions options;
        QList<QRgb> standard; // empty: the XIMG palette of the picture
        int depth;
    } cases[] = {
        {"monochrome", {1, 2, false}, {kWhite, kBlack}, 1},
        {"monochrome, pattern length 1", {1, 1, false}, {kWhite, kBlack}, 1},
        {"2 planes, standard colours", {2, 2, false}, {kWhite, qRgb(255, 0, 0), qRgb(0, 255, 0), kBlack}, 4},
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
        const auto back = [](int v) { return (v * 1000 / 255) * 255 / 1000; }; // 0..1000 is coarser
        for (QRgb& colour : p.palette)
            colour = qRgb(back(qRed(colour)), back(qGreen(colour)), back(qBlue(colour)));
        EXPECT_TRUE(decodesTo(looksLikeGemImg, decodeGemImg, file, c.depth, p));
    }
    // 8 x 2 monochrome: a solid run of 5 bytes for a 1-byte line, then a bit string.
    ByteWriter w;
    w.u16be(1).u16be(8).u16be(1).u16be(2).u16be(85).u16be(85).u16be(8).u16be(2).u8(0x85).u8(0x80).u8(1).u8(
        0x0F);
    EXPECT_TRUE(samePixels(decodeGemImg(w.data()), 8, 2,
                           [](int x, int y) { return y == 0 || x >= 4 ? kBlack : kWhite; }));

    const QByteArray good = encodeGemImg({4, 2, false}, withRepeats(64, 20, 16));
    EXPECT_TRUE(cutsFail(decodeGemImg, good, {0, 10, 16, 40, good.size() - 1}, "truncated"));
    expectRefused(decodeGemImg,
                  {// Data that stops inside a replication code must end the decode, not spin on it.
                   {good.left(16) + QByteArray(2, '\0'), "truncated"},
                   {patched16(good, 4, 9, true), "unsupported number of planes 9"},
                   {patched16(good, 6, 0, true), "unsupported pattern length 0"},
                   {patched16(good, 2, 4000, true), "header length 4000"},
                   {patched16(good, 12, 40000, true), "too large (40000 x 20)"},
                   {patched16(good, 14, 0, true), "no pixels"},
                   {patched16(patched16(good, 12, 30000, true), 14, 30000, true), "truncated"}});
    EXPECT_FALSE(looksLikeGemImg(patched16(good, 0, 77, true)));
}

TEST(CutDecoder, DecodesWithAndWithoutPaletteShortRowsLongRunsAndRefusesDamage)
{
    for (int maximum : {63, 255, 1023}) {
        const IndexedPicture p = makeIndexed(150, 7, 200); // 200 triples cross a 512-byte block
        const QByteArray file = encodeCut(p);
        EXPECT_TRUE(looksLikeCut(file));
        const DecodeResult r = decodeCut(file, encodeHaloPalette(p.palette, maximum));
        EXPECT_EQ(r.colorDepth, 8);
        const auto kept = [&](int c) { return (c * maximum / 255) * 255 / maximum; };
        EXPECT_TRUE(samePixels(r, 150, 7, [&](int x, int y) {
            const QRgb c = p.colour(x, y);
            return qRgb(kept(qRed(c)), kept(qGreen(c)), kept(qBlue(c)));
        })) << maximum;
    }
    const IndexedPicture p = makeIndexed(60, 10, 256);
    const QByteArray good = encodeCut(p);
    const auto grey = [&](int x, int y) { return qRgb(p.at(x, y), p.at(x, y), p.at(x, y)); };
    EXPECT_TRUE(samePixels(decodeCut(good, {}), 60, 10, grey));
    EXPECT_TRUE(samePixels(decodeCut(good, "not a palette file"), 60, 10, grey));
    // Short rows keep index 0; long runs are clipped.
    ByteWriter w;
    w.u16le(4).u16le(2).u16le(0);
    w.u16le(3).u8(0x81).u8(9).u8(0);       // one pixel of 9, rest index 0
    w.u16le(4).u8(0x8A).u8(7).u8(1).u8(0); // a run of 10 clipped to 4
    EXPECT_TRUE(samePixels(decodeCut(w.data(), {}), 4, 2, [](int x, int y) {
        const int v = y == 0 ? (x == 0 ? 9 : 0) : 7;
        return qRgb(v, v, v);
    }));
    EXPECT_FALSE(looksLikeCut(w.data())); // the first row is not as wide as the picture
    // A palette file cut short: the colours it holds, black for the rest.
    const DecodeResult r = decodeCut(good, encodeHaloPalette(p.palette, 255).left(40 + 6 * 3));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.color(2), p.palette[2]);
    EXPECT_EQ(r.image.color(3), kBlack);

    const auto noPalette = [](QByteArrayView picture) { return decodeCut(picture, {}); };
    EXPECT_TRUE(cutsFail(noPalette, good, {0, 5, 6, 40, good.size() - 1}, "truncated"));
    expectRefused(noPalette, {{patched16(good, 0, 40000), "too large (40000 x 10)"},
                              {patched16(good, 2, 0), "no pixels"},
                              {patched16(good, 6, 60000), "truncated"},
                              {patched16(good, 2, 30000), "truncated"}});
    EXPECT_FALSE(looksLikeCut(patched16(good, 4, 1)));
}

} // namespace
} // namespace mv::imaging::test
