// Version 1 vector records drawn into images: natural size, attributes, every shape, text,
// placed bitmaps, and the entry point.
#include "RenderWpg.h"
#include "WpgVectorEncoder.h"

#include "imaging/core/PictureDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kWhite = qRgb(255, 255, 255);
const QSize kSize(192, 96); // 2 x 1 inch at 96 dpi

// 2 x 1 inch; colour 1 red, 2 green, 3 blue; the records given after the colour map.
QByteArray picture(const QList<QByteArray>& records)
{
    QList<QByteArray> all = { wpg1Colours(1, { kRed, kGreen, kBlue }) };
    all += records;
    return wpg1File(2400, 1200, all);
}

TEST(Wpg1Vector, NaturalSizeDepthAndEntryPoint)
{
    const QByteArray file = picture({ wpg1Words(0x05, { 0, 0, 2400, 1200 }) });
    const Picture p = decodePictureData(file, QStringLiteral("drawing.wpg"));
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    EXPECT_TRUE(p.isVector());
    EXPECT_TRUE(p.image.isNull());
    EXPECT_EQ(p.width, 192);
    EXPECT_EQ(p.height, 96);
    EXPECT_EQ(p.colorDepth, 24);
    EXPECT_EQ(p.typeName, QStringLiteral("WPG"));
    EXPECT_EQ(p.drawing->naturalSize(), QSizeF(192, 96));

    // A file with only a bitmap stays a raster picture.
    WpgBitmapInput s;
    s.width = 5;
    s.height = 3;
    s.value = [](int x, int) { return std::uint32_t(x & 1); };
    const Picture raster = decodePictureData(encodeWpg2(s), QStringLiteral("bitmap.wpg"));
    ASSERT_TRUE(raster.ok()) << raster.error.toStdString();
    EXPECT_FALSE(raster.isVector());
    EXPECT_EQ(raster.image.size(), QSize(5, 3));
}

TEST(Wpg1Vector, FilledShapesLinesAndCurves)
{
    // Red rectangle, lower-left corner (240, 240), 480 x 480: pixels x 19..57, y 38..76.
    QImage image = renderWpg(picture({ wpg1Fill(1, 1), wpg1Line(0, 0, 0), wpg1Words(0x07, { 240, 240, 480, 480 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 38, 57, kRed, 0));
    EXPECT_TRUE(colourNear(image, 38, 20, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 100, 57, kWhite, 0));

    // The same file drawn twice as large keeps its place.
    image = renderWpg(picture({ wpg1Fill(1, 1), wpg1Line(0, 0, 0), wpg1Words(0x07, { 240, 240, 480, 480 }) }), kSize * 2);
    EXPECT_TRUE(colourNear(image, 76, 114, kRed, 0));
    EXPECT_TRUE(colourNear(image, 76, 40, kWhite, 0));

    // Hollow fill: only the outline of the rectangle.
    image = renderWpg(picture({ wpg1Fill(0, 1), wpg1Line(1, 3, 24), wpg1Words(0x07, { 240, 240, 480, 480 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 38, 57, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 38, 38, kBlue));

    // A vertical green line at x = 1200 units (pixel 96), 48 units wide.
    image = renderWpg(picture({ wpg1Line(1, 2, 48), wpg1Words(0x05, { 1200, 0, 1200, 1200 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 96, 48, kGreen));
    EXPECT_TRUE(colourNear(image, 90, 48, kWhite, 0));

    // A blue triangle: its centre is blue, outside is not.
    image = renderWpg(picture({ wpg1Fill(1, 3), wpg1Points(0x08, { { 1500, 100 }, { 2300, 100 }, { 1900, 1100 } }) }), kSize);
    EXPECT_TRUE(colourNear(image, 152, 62, kBlue, 0));
    EXPECT_TRUE(colourNear(image, 125, 20, kWhite, 0));

    // An open polyline is not filled.
    image = renderWpg(picture({ wpg1Fill(1, 3), wpg1Line(1, 1, 24), wpg1Points(0x06, { { 1500, 100 }, { 2300, 100 }, { 1900, 1100 } }) }), kSize);
    EXPECT_TRUE(colourNear(image, 152, 62, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 152, 88, kRed));

    // A red ellipse at (600, 600), radii 400 x 200: centre red, beyond its x radius white.
    image = renderWpg(picture({ wpg1Fill(1, 1), wpg1Words(0x09, { 600, 600, 400, 200, 0, 0, 0, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 48, 48, kRed, 0));
    EXPECT_TRUE(colourNear(image, 48, 28, kWhite, 0)); // 250 units above: beyond the y radius
    // Turned by 90 degrees the ellipse stands upright.
    image = renderWpg(picture({ wpg1Fill(1, 1), wpg1Words(0x09, { 600, 600, 400, 200, 90, 0, 0, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 48, 28, kRed, 0));
    EXPECT_TRUE(colourNear(image, 68, 48, kWhite, 0));
    // An arc from 0 to 180 degrees: the upper half only, unfilled.
    image = renderWpg(picture({ wpg1Line(1, 3, 24), wpg1Words(0x09, { 600, 600, 400, 400, 0, 0, 180, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 48, 16, kBlue));
    EXPECT_TRUE(colourNear(image, 48, 80, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 48, 48, kWhite, 0));

    // A curve with its control points on a straight line crosses the middle at y = 600.
    image = renderWpg(picture({ wpg1Line(1, 1, 48), wpg1Points(0x13, { { 0, 600 }, { 800, 600 }, { 1600, 600 }, { 2400, 600 } }) }), kSize);
    EXPECT_TRUE(colourNear(image, 96, 48, kRed));
    EXPECT_TRUE(colourNear(image, 96, 40, kWhite, 0));
}

TEST(Wpg1Vector, TextDrawsInItsColourAtItsPlace)
{
    ensureGuiApplication();
    // Text 480 units (about 38 pixels) high, baseline at y = 360 units (pixel 67), from x = 240.
    const QImage image = renderWpg(picture({ wpg1TextAttributes(480, 0), wpg1Text(240, 360, "HHHH") }), kSize);
    EXPECT_GT(darkPixels(image, QRect(19, 35, 100, 32)), 100);
    EXPECT_EQ(darkPixels(image, QRect(0, 70, 192, 26)), 0);
    EXPECT_EQ(darkPixels(image, QRect(150, 0, 42, 96)), 0);
    EXPECT_EQ(darkPixels(image, QRect(0, 0, 192, 20)), 0);
}

TEST(Wpg1Vector, BitmapLandsAtItsRectangle)
{
    WpgBitmapInput s;
    s.width = 8;
    s.height = 4;
    s.depth = 1;
    s.value = [](int, int) { return 0u; }; // black
    // Right half, lower half of the picture: pixels x 96..191, y 48..95.
    const QByteArray file = picture({ wpg1Line(1, 1, 0), wpg1Words(0x05, { 0, 1100, 100, 1100 }),
                                      wpg1PlacedBitmap(s, 1200, 0, 2400, 600) });
    const QImage image = renderWpg(file, kSize);
    EXPECT_TRUE(colourNear(image, 150, 70, qRgb(0, 0, 0), 0));
    EXPECT_TRUE(colourNear(image, 100, 90, qRgb(0, 0, 0), 0));
    EXPECT_TRUE(colourNear(image, 150, 30, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 60, 70, kWhite, 0));
}

} // namespace
} // namespace mv::imaging::test
