#include "DecodeChecks.h"
#include "MspEncoder.h"

#include "imaging/pc/MspDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

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
    EXPECT_TRUE(samePixels(r, 16, 2, [](int x, int y) { return y == 1 && x < 8 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); }));
}

TEST(MspDecoder, RefusesDamagedFiles)
{
    const IndexedPicture p = blackAndWhite(64, 20);
    const QByteArray v1 = encodeMsp(1, p), v2 = encodeMsp(2, p);
    for (qsizetype cut : {qsizetype(3), qsizetype(20), qsizetype(32), qsizetype(100), v1.size() - 1})
        EXPECT_TRUE(failsWith(decodeMsp(v1.left(cut)), cut == 3 ? "not a Microsoft Paint" : "truncated")) << cut;
    for (qsizetype cut : {qsizetype(32), qsizetype(32 + 39), qsizetype(80), v2.size() - 1})
        EXPECT_TRUE(failsWith(decodeMsp(v2.left(cut)), "truncated")) << cut;
    EXPECT_TRUE(failsWith(decodeMsp(patched16(v2, 32, 60000)), "truncated"));
    EXPECT_TRUE(failsWith(decodeMsp(patched16(v1, 4, 0)), "no pixels"));
    EXPECT_TRUE(failsWith(decodeMsp(patched16(patched16(v1, 4, 30000), 6, 30000)), "truncated"));
    EXPECT_FALSE(looksLikeMsp(QByteArray("DanN") + v1.mid(4)));
}

} // namespace
} // namespace mv::imaging::test
