#include "DecodeChecks.h"
#include "PcxEncoder.h"

#include "imaging/pc/Palettes.h"
#include "imaging/pc/PcxDecoder.h"

#include <gtest/gtest.h>

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
        const QByteArray file = encodePcx(c.options, truecolour ? nullptr : &indexed, truecolour ? &rgb : nullptr);
        EXPECT_TRUE(looksLikePcx(file));
        const DecodeResult r = decodePcx(file);
        EXPECT_EQ(r.colorDepth, c.depth);
        EXPECT_TRUE(samePixels(r, c.width, 9, [&](int x, int y) { return truecolour ? rgb.at(x, y) : indexed.colour(x, y); }));
    }
}

TEST(PcxDecoder, FallsBackToDefaultColours)
{
    IndexedPicture p = makeIndexed(20, 4, 256);
    PcxOptions noPalette{8, 1, true};
    noPalette.tailPalette = false;
    EXPECT_TRUE(samePixels(decodePcx(encodePcx(noPalette, &p)), 20, 4, [&](int x, int y) {
        return qRgb(p.at(x, y), p.at(x, y), p.at(x, y));
    }));

    // Version 3 files carry no palette: the EGA colours apply.
    IndexedPicture ega = makeIndexed(20, 4, 16);
    PcxOptions v3{4, 1, true};
    v3.version = 3;
    const QList<QRgb> standard = egaPalette();
    EXPECT_EQ(standard[6], 0xffaa5500u); // brown, not dark yellow
    EXPECT_TRUE(samePixels(decodePcx(encodePcx(v3, &ega)), 20, 4, [&](int x, int y) { return standard[ega.at(x, y)]; }));
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
        EXPECT_TRUE(failsWith(decodePcx(good.left(cut)), cut == 0 || cut == 5 || cut == 127 ? "" : "truncated")) << cut;
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
    EXPECT_TRUE(failsWith(decodePcx(patched16(patched16(patched16(good.left(400), 8, 29999), 10, 19999), 66, 30000)), "truncated"));
    EXPECT_FALSE(looksLikePcx(QByteArray(200, 'x')));
}

} // namespace
} // namespace mv::imaging::test
