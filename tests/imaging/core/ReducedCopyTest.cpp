// The reduced copy the image control draws and the viewing worker makes ahead (box averages by
// halves, then one smooth step), the size it is drawn at, and the pixels of decrypted pictures.
#include "TestPictures.h"

#include "imaging/base/DrawnSize.h"
#include "imaging/base/ProtectedPixels.h"
#include "imaging/base/ReducedCopy.h"
#include "support/Smaps.h"

#include <algorithm>

namespace mv::imaging::test {
namespace {

const QRgb kQuadrants[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};

// Four flat quadrants: red, green over blue, yellow.
QImage quadrants(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, kQuadrants[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)]);
    return image.convertToFormat(format);
}

void expectQuadrants(const QImage& image, int tolerance)
{
    for (int q = 0; q < 4; ++q)
        EXPECT_LE(maxChannelDifference(image.pixel((1 + 2 * (q % 2)) * image.width() / 4,
                                                   (1 + 2 * (q / 2)) * image.height() / 4),
                                       kQuadrants[q]),
                  tolerance)
            << q;
}

TEST(ReducedCopy, AveragesEveryPixelAndKeepsColoursAndEdges)
{
    // By a power of two the copy is box averages only: flat areas stay exact, and a
    // one-pixel checkerboard turns an even grey where a sampling filter gives black or white.
    const QImage flat = reducedCopy(quadrants(64, 48), QSize(16, 12));
    ASSERT_EQ(flat.size(), QSize(16, 12));
    expectQuadrants(flat, 0);
    QImage checker(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QImage grey = reducedCopy(checker, QSize(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_LE(maxChannelDifference(grey.pixel(x, y), qRgb(128, 128, 128)), 1) << x << "," << y;
    // Odd sizes and a last smooth step: the quadrants stay where they were, with nothing of the
    // picture's edge lost (its last column and row are the right and bottom colours).
    const QImage odd = reducedCopy(quadrants(301, 203), QSize(37, 23));
    ASSERT_EQ(odd.size(), QSize(37, 23));
    expectQuadrants(odd, 2);
    EXPECT_LE(maxChannelDifference(odd.pixel(36, 22), qRgb(255, 255, 0)), 2);
    // Other formats: an indexed picture and one with alpha. Transparent red beside opaque blue
    // averages to half-transparent blue, not to purple (the average is premultiplied).
    expectQuadrants(reducedCopy(quadrants(40, 40, QImage::Format_Indexed8), QSize(10, 10)), 0);
    QImage alpha(2, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        alpha.setPixel(0, y, qRgba(255, 0, 0, 0)), alpha.setPixel(1, y, qRgba(0, 0, 255, 255));
    const QRgb mixed = reducedCopy(alpha, QSize(1, 1)).convertToFormat(QImage::Format_ARGB32).pixel(0, 0);
    EXPECT_NEAR(qAlpha(mixed), 128, 1);
    EXPECT_LE(qRed(mixed), 2);
    EXPECT_GE(qBlue(mixed), 253);
    // Not smaller: one smooth step; nothing to reduce: null.
    EXPECT_EQ(reducedCopy(quadrants(20, 20), QSize(40, 10)).size(), QSize(40, 10));
    EXPECT_TRUE(reducedCopy(QImage(), QSize(4, 4)).isNull());
    EXPECT_TRUE(reducedCopy(quadrants(8, 8), QSize(0, 4)).isNull());
}

// The scaled image control's test draws the copy at ratio 2; here the edges: sizes rounded up,
// never empty, and no copy when the picture is drawn 1:1 or enlarged.
TEST(ReducedCopy, IsMadeAtTheDevicePixelsTheControlDraws)
{
    EXPECT_EQ(zoomedControlSize(QSize(400, 300), 0.25, 2), QSize(50, 38));
    const QImage image = quadrants(400, 300);
    EXPECT_EQ(reducedForScreen(image, QSizeF(100, 75), 1.5).size(), QSize(150, 113));
    EXPECT_TRUE(reducedForScreen(image, QSizeF(200, 150), 2).isNull());
    EXPECT_FALSE(reducedForScreen(image, QSizeF(200, 149), 2).isNull()); // one side smaller
    EXPECT_EQ(devicePixels(QSizeF(0.2, 0.2), 1), QSize(1, 1));
}

TEST(ProtectedPixels, CopiesAreKeptOutOfDumpsAndZeroedWhenTheirLastImageGoes)
{
    QImage indexed(300, 200, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    indexed.fill(1);
    int releases = 0;
    bool allZero = false;
    QImage copy = protectedCopy(indexed, [&](const uchar* data, qsizetype length) {
        ++releases;
        allZero = std::all_of(data, data + length, [](uchar b) { return b == 0; });
    });
    ASSERT_FALSE(copy.isNull());
    EXPECT_EQ(copy, indexed); // pixels, format and colours
    EXPECT_TRUE(mv::test::excludedFromDumps(copy.constBits())) << mv::test::vmFlagsAt(copy.constBits());
    EXPECT_FALSE(mv::test::excludedFromDumps(indexed.constBits()));

    QImage shared = copy;
    copy = QImage();
    EXPECT_EQ(releases, 0); // still drawn from `shared`
    shared = QImage();
    EXPECT_EQ(releases, 1);
    EXPECT_TRUE(allZero);

    // A decrypted picture, and the reduced copies made of it.
    Picture picture = DecodeResult::success(pattern(640, 480), 24);
    const QImage plain = picture.image;
    protectPicture(picture);
    EXPECT_TRUE(picture.sensitive);
    EXPECT_EQ(picture.image, plain);
    EXPECT_TRUE(mv::test::excludedFromDumps(picture.image.constBits()));
    const QImage reduced = reducedCopy(picture.image, QSize(100, 75), true);
    EXPECT_TRUE(mv::test::excludedFromDumps(reduced.constBits()));
    EXPECT_EQ(reduced, reducedCopy(plain, QSize(100, 75))); // the same copy, elsewhere
}

} // namespace
} // namespace mv::imaging::test
