#include "CutEncoder.h"
#include "DecodeChecks.h"

#include "imaging/pc/CutDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

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
    w.u16le(3).u8(0x81).u8(9).u8(0);          // one pixel of 9, rest index 0
    w.u16le(4).u8(0x8A).u8(7).u8(1).u8(0);    // a run of 10 clipped to 4
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

} // namespace
} // namespace mv::imaging::test
