// PCX, Targa and Sun Raster: every layout of every type comes back pixel for pixel; damaged files
// are refused with their reason.
#include "PcxTargaSunEncoders.h"

#include "imaging/base/Palettes.h"
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
        EXPECT_TRUE(truecolour ? decodesTo(looksLikePcx, decodePcx, file, c.depth, rgb)
                               : decodesTo(looksLikePcx, decodePcx, file, c.depth, indexed));
    }
}

TEST(PcxDecoder, DefaultColoursAndRunsAcrossLineEnds)
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
    EXPECT_TRUE(cutsFail(decodePcx, good, {0, 5, 127}, ""));
    EXPECT_TRUE(cutsFail(decodePcx, good, {128, 300}, "truncated"));
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

TEST(TargaDecoder, DecodesEveryTypePixelForPixel)
{
    const TargaCase cases[] = {
        {"mapped", {.type = 1, .depth = 8}, 8},
        {"mapped rle, 16-bit map from entry 10",
         {.type = 9, .depth = 8, .mapEntryBits = 16, .mapFirst = 10},
         8},
        {"mapped, 32-bit map with alpha", {.type = 1, .depth = 8, .mapEntryBits = 32, .alphaBits = 8}, 8},
        {"mapped, 15-bit map, image id", {.type = 1, .depth = 8, .mapEntryBits = 15, .id = "hello"}, 8},
        {"true colour 24", {.type = 2, .depth = 24}, 24},
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
        if (kind == 3)
            indexed.palette = greyLevels(); // the index is the level
        EXPECT_TRUE(fromIndex ? decodesTo(looksLikeTarga, decodeTarga, file, c.depth, indexed)
                              : decodesTo(looksLikeTarga, decodeTarga, file, c.depth, rgb));
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
        const TargaOptions across {.type = 10, .depth = 24, .rleAcrossRows = true};
        EXPECT_TRUE(samePixels(decodeTarga(encodeTarga(across, nullptr, &q)), 29, 7, [&](int x, int y) {
            return q.at(x, y);
        })) << (flat ? "run" : "raw");
    }
}

TEST(TargaDecoder, RefusesDamagedFiles)
{
    const RgbPicture p = makeRgb(30, 10);
    const QByteArray raw = encodeTarga({.type = 2, .depth = 24}, nullptr, &p);
    const QByteArray rle = encodeTarga({.type = 10, .depth = 24}, nullptr, &p);
    EXPECT_TRUE(cutsFail(decodeTarga, raw, {0, 10, 17, 18, 400, 18 + 900 - 1}, "truncated"));
    EXPECT_TRUE(cutsFail(decodeTarga, rle, {18, 200, rle.size() - 1}, "truncated"));
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
    EXPECT_TRUE(failsWith(decodeTarga(patched16(encodeTarga({.type = 1, .depth = 8}, &mapped), 5, 5000)),
                          "truncated"));
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
        if (indexed.palette.isEmpty())
            indexed.palette = greyLevels(); // no map: the index is the level
        EXPECT_TRUE(depth > 8 ? decodesTo(looksLikeSunRaster, decodeSunRaster, file, depth, rgb)
                              : decodesTo(looksLikeSunRaster, decodeSunRaster, file, depth, indexed));
    }
}

TEST(SunRasterDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = makeIndexed(40, 10, 256);
    const QByteArray raw = encodeSun({8, 1, true}, &p);
    const QByteArray rle = encodeSun({8, 2, true}, &p);
    EXPECT_TRUE(cutsFail(decodeSunRaster, raw, {0, 31}, ""));
    EXPECT_TRUE(cutsFail(decodeSunRaster, raw, {32, 32 + 768 + 100, raw.size() - 1}, "truncated"));
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

} // namespace
} // namespace mv::imaging::test
