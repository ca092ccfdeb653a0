#include "DecodeChecks.h"
#include "SunRasterEncoder.h"

#include "imaging/pc/SunRasterDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

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
            indexed.palette = depth == 1 ? QList<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)} : QList<QRgb>{};
        const RgbPicture rgb = makeRgb(c.width, 6);
        const QByteArray file = encodeSun(c.options, depth <= 8 ? &indexed : nullptr, depth <= 8 ? nullptr : &rgb);
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
    for (qsizetype cut : {qsizetype(0), qsizetype(31), qsizetype(32), qsizetype(32 + 768 + 100), raw.size() - 1})
        EXPECT_TRUE(failsWith(decodeSunRaster(raw.left(cut)), cut == 0 || cut == 31 ? "" : "truncated")) << cut;
    EXPECT_TRUE(failsWith(decodeSunRaster(rle.left(rle.size() - 2)), "truncated"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 20, 4, true)), "unsupported Sun raster type 4"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 12, 4, true)), "unsupported depth 4"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 4, 40000, true)), "too large (40000 x 10)"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 8, 0, true)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 28, 0xFFFFFFF0u, true)), "truncated"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(patched32(rle, 4, 30000, true), 8, 30000, true)), "truncated"));
    EXPECT_TRUE(failsWith(decodeSunRaster(patched32(raw, 0, 0x12345678, true)), "not a Sun raster"));
    EXPECT_FALSE(looksLikeSunRaster(patched32(raw, 12, 4, true)));
}

} // namespace
} // namespace mv::imaging::test
