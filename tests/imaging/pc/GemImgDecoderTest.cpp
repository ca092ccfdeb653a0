#include "DecodeChecks.h"
#include "GemImgEncoder.h"

#include "imaging/pc/GemImgDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

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
    EXPECT_TRUE(samePixels(r, 8, 2, [](int x, int y) {
        return y == 0 || x >= 4 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }));
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
    EXPECT_TRUE(failsWith(decodeGemImg(patched16(patched16(good, 12, 30000, true), 14, 30000, true)), "truncated"));
    EXPECT_FALSE(looksLikeGemImg(patched16(good, 0, 77, true)));
}

} // namespace
} // namespace mv::imaging::test
