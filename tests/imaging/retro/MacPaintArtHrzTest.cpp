// MacPaint, PFS ART and Slow Scan TV: the fixed and near-fixed layouts, pixel for pixel, and
// their damaged forms.
#include "ArtEncoder.h"
#include "ExpectPixels.h"
#include "HrzEncoder.h"
#include "MacPaintEncoder.h"

#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/RetroPalettes.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);

bool drawing(int x, int y)
{
    return patternValue(x, y, 3) == 1 || (y > 600 && x > 500);
}

TEST(MacPaintDecoder, WithAndWithoutMacBinary)
{
    for (bool macBinary : { false, true }) {
        SCOPED_TRACE(macBinary);
        const QByteArray file = encodeMacPaint(drawing, macBinary);
        EXPECT_EQ(looksLikeMacPaint(file), macBinary);
        const DecodeResult r = decodeMacPaint(file);
        EXPECT_TRUE(samePixels(r, 576, 720, [](int x, int y) { return drawing(x, y) ? kBlack : kWhite; }));
        EXPECT_EQ(r.colorDepth, 1);
    }
}

TEST(MacPaintDecoder, DamagedFilesAreRefused)
{
    const QByteArray file = encodeMacPaint(drawing, true);
    for (qsizetype cut : { 0, 100, 600, 700, 3000 })
        EXPECT_EQ(decodeMacPaint(file.first(cut)).error, "the file is truncated") << cut;
    EXPECT_EQ(decodeMacPaint(file.first(file.size() - 1)).error, "the file is truncated");

    // A MacBinary data fork length shorter than the pixels: they are cut there.
    QByteArray shortFork = file;
    shortFork[85] = 0;
    shortFork[86] = 2;
    EXPECT_EQ(decodeMacPaint(shortFork).error, "the file is truncated");

    QByteArray otherType = file;
    otherType.replace(65, 4, "TEXT");
    EXPECT_FALSE(looksLikeMacPaint(otherType));
}

TEST(ArtDecoder, StandardAndHighResolution)
{
    const auto art = [](int x, int y) { return (x + 2 * y) % 5 == 0 || y == 3; };
    const QByteArray standard = encodeArt(45, 11, art);
    EXPECT_TRUE(looksLikeArt(standard));
    DecodeResult r = decodeArt(standard);
    EXPECT_TRUE(samePixels(r, 45, 11, [&](int x, int y) { return art(x, y) ? kBlack : kWhite; }));
    EXPECT_EQ(r.colorDepth, 1);

    for (int pad : { 0, 1, 2 }) {
        SCOPED_TRACE(pad);
        const QByteArray high = encodeArtHighRes(45, 11, pad, art);
        EXPECT_TRUE(looksLikeArt(high));
        r = decodeArt(high);
        EXPECT_TRUE(samePixels(r, 45, 11, [&](int x, int y) { return art(x, y) ? kBlack : kWhite; }));
    }
}

TEST(ArtDecoder, DamagedFilesAreRefused)
{
    const auto art = [](int x, int y) { return (x * y) % 3 == 0; };
    const QByteArray standard = encodeArt(45, 11, art);
    EXPECT_FALSE(looksLikeArt(standard + "x")); // strict: exactly the size the header says
    EXPECT_TRUE(decodeArt(standard + "x").ok());
    for (qsizetype cut : { 0, 5, 8, 20 })
        EXPECT_FALSE(decodeArt(standard.first(cut)).ok()) << cut;
    EXPECT_EQ(decodeArt(standard.first(standard.size() - 1)).error, "the file is truncated");

    QByteArray backwards = standard;
    backwards[2] = 0; // right edge 0, left edge 3
    backwards[3] = 0;
    EXPECT_EQ(decodeArt(backwards).error, "the picture has no pixels (-3 x 11)");

    QByteArray huge = standard;
    huge[6] = char(0x40); // bottom edge 40000
    huge[7] = char(0x9C);
    EXPECT_EQ(decodeArt(huge).error, "the picture is too large (45 x 40000)");

    const QByteArray high = encodeArtHighRes(45, 11, 1, art);
    EXPECT_EQ(decodeArt(high.first(high.size() - 2)).error, "the file is truncated");
    EXPECT_EQ(decodeArt(high + QByteArray("\x02\x01\x01\x01", 4)).error,
              "the rows do not have a whole number of bytes");
    EXPECT_FALSE(looksLikeArt(QByteArray(4, '\0')));
}

TEST(HrzDecoder, SixBitColoursAndExactSize)
{
    const auto rgb6 = [](int x, int y) {
        return std::array<std::uint8_t, 3> { std::uint8_t(x % 64), std::uint8_t(y % 64), std::uint8_t((x + y) % 64) };
    };
    const QByteArray file = encodeHrz(rgb6);
    ASSERT_EQ(file.size(), 184320);
    EXPECT_TRUE(looksLikeHrz(file));
    const DecodeResult r = decodeHrz(file);
    EXPECT_TRUE(samePixels(r, 256, 240, [&](int x, int y) {
        const auto c = rgb6(x, y);
        return qRgb(scale6to8(c[0]), scale6to8(c[1]), scale6to8(c[2]));
    }));
    EXPECT_EQ(r.colorDepth, 24);
    EXPECT_EQ(scale6to8(63), 255);
    EXPECT_EQ(scale6to8(0), 0);

    EXPECT_FALSE(looksLikeHrz(file.first(file.size() - 1)));
    EXPECT_EQ(decodeHrz(file.first(file.size() - 1)).error, "the file is truncated");
    EXPECT_FALSE(decodeHrz(file + "x").ok());
    EXPECT_FALSE(decodeHrz({}).ok());
}

} // namespace
} // namespace mv::imaging::test
