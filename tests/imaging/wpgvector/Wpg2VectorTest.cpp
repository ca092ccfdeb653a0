// Version 2 vector records drawn into images: pen and brush, every shape, the object transform,
// double precision, placed bitmaps, and refused start records.
#include "RenderWpg.h"
#include "WpgVectorEncoder.h"

#include "imaging/core/PictureDecoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kWhite = qRgb(255, 255, 255);
const QSize kSize(192, 96);
constexpr int kShape = kWpg2Filled | kWpg2Framed;

QByteArray penSize(int width)
{
    ByteWriter b;
    b.u16le(width);
    return wpg2Rec(0x2B, b.bytes);
}

// 2 x 1 inch at 1200 units per inch, red brush, blue pen 24 units wide, then the records.
QByteArray picture(const QList<QByteArray>& records, bool doublePrecision = false)
{
    QList<QByteArray> all = { wpg2Colour(0x31, kRed, true), wpg2Colour(0x25, kBlue), penSize(24) };
    all += records;
    return wpg2File(1200, 2400, 1200, all, doublePrecision);
}

TEST(Wpg2Vector, NaturalSizeFromExtentAndUnits)
{
    const QByteArray file = wpg2File(600, 1200, 300, { wpg2Object(0x15, kWpg2Framed, { 0, 0, 1200, 300 }, 2) });
    const Picture p = decodePictureData(file, QStringLiteral("drawing.wpg"));
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    EXPECT_TRUE(p.isVector());
    EXPECT_EQ(p.width, 192);
    EXPECT_EQ(p.height, 48);
    EXPECT_EQ(p.colorDepth, 24);
}

TEST(Wpg2Vector, ShapesWithPenBrushAndTransform)
{
    // A filled rectangle (240, 240)-(720, 720): pixels x 19..57, y 38..76.
    QImage image = renderWpg(picture({ wpg2Object(0x18, kShape, { 240, 240, 720, 720, 0, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 38, 57, kRed, 0));
    EXPECT_TRUE(colourNear(image, 38, 38, kBlue));
    EXPECT_TRUE(colourNear(image, 100, 57, kWhite, 0));

    // Not filled: only the frame.
    image = renderWpg(picture({ wpg2Object(0x18, kWpg2Framed, { 240, 240, 720, 720, 0, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 38, 57, kWhite, 0));
    // Brush pattern 1 is hollow too.
    image = renderWpg(picture({ wpg2Rec(0x35, QByteArray("\x01\x00", 2)), wpg2Object(0x18, kShape, { 240, 240, 720, 720, 0, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 38, 57, kWhite, 0));

    // Moved 1200 units right by its transform.
    image = renderWpg(picture({ wpg2Object(0x18, kShape | kWpg2Translate, { 240, 240, 720, 720, 0, 0 }, -1, false, 1200, 0) }), kSize);
    EXPECT_TRUE(colourNear(image, 134, 57, kRed, 0));
    EXPECT_TRUE(colourNear(image, 38, 57, kWhite, 0));

    // In double precision.
    image = renderWpg(picture({ wpg2Object(0x18, kShape, { 240, 240, 720, 720, 0, 0 }, -1, true) }, true), kSize);
    EXPECT_TRUE(colourNear(image, 38, 57, kRed, 0));
    EXPECT_TRUE(colourNear(image, 100, 57, kWhite, 0));

    // A closed, filled triangle; an open one is only stroked.
    const QList<int> triangle = { 1500, 100, 2300, 100, 1900, 1100 };
    image = renderWpg(picture({ wpg2Object(0x15, kShape | kWpg2Closed, triangle, 3) }), kSize);
    EXPECT_TRUE(colourNear(image, 152, 62, kRed, 0));
    EXPECT_TRUE(colourNear(image, 125, 20, kWhite, 0));
    image = renderWpg(picture({ wpg2Object(0x15, kWpg2Framed, triangle, 3) }), kSize);
    EXPECT_TRUE(colourNear(image, 152, 62, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 152, 88, kBlue));

    // A whole ellipse (start point = end point) at (600, 600), radii 400 x 200.
    image = renderWpg(picture({ wpg2Object(0x19, kShape, { 600, 600, 400, 200, 400, 0, 400, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 48, 48, kRed, 0));
    EXPECT_TRUE(colourNear(image, 48, 28, kWhite, 0));
    // The upper half arc, from angle 0 to 180 degrees, unfilled.
    image = renderWpg(picture({ wpg2Object(0x19, kWpg2Framed, { 600, 600, 400, 400, 400, 0, -400, 0 }) }), kSize);
    EXPECT_TRUE(colourNear(image, 48, 16, kBlue));
    EXPECT_TRUE(colourNear(image, 48, 80, kWhite, 0));

    // A polycurve of two points whose control points lie on the line y = 600.
    image = renderWpg(picture({ penSize(48), wpg2Object(0x17, kWpg2Framed, { 0, 600, 0, 600, 800, 600, 1600, 600, 2400, 600, 2400, 600 }, 2) }), kSize);
    EXPECT_TRUE(colourNear(image, 96, 48, kBlue));
    EXPECT_TRUE(colourNear(image, 96, 40, kWhite, 0));
}

TEST(Wpg2Vector, BitmapLandsAtItsRectangleWithThePalette)
{
    WpgBitmapInput s;
    s.width = 6;
    s.height = 4;
    s.depth = 8;
    s.value = [](int, int) { return 7u; };
    ByteWriter palette;
    palette.u16le(7);
    palette.u16le(1);
    for (int v : { 0, 200, 0, 0 })
        palette.u8(v);
    const QByteArray file = picture({ wpg2Rec(0x0C, palette.bytes), wpg2Object(0x15, kWpg2Framed, { 0, 1100, 100, 1100 }, 2),
                                      wpg2PlacedBitmap(s, 1200, 0, 2400, 600) });
    const QImage image = renderWpg(file, kSize);
    EXPECT_TRUE(colourNear(image, 150, 70, qRgb(0, 200, 0), 0));
    EXPECT_TRUE(colourNear(image, 100, 92, qRgb(0, 200, 0), 0));
    EXPECT_TRUE(colourNear(image, 150, 30, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 60, 70, kWhite, 0));
}

TEST(Wpg2Vector, UnusableStartRecordsAreRefused)
{
    const QByteArray line = wpg2Object(0x15, kWpg2Framed, { 0, 0, 100, 100 }, 2);
    Picture p = decodeWpgPicture(wpg2File(0, 2400, 1200, { line }));
    EXPECT_FALSE(p.ok());
    EXPECT_EQ(p.error, QStringLiteral("the picture has no unit of measure"));
    p = decodeWpgPicture(wpg2File(1200, 0, 1200, { line }));
    EXPECT_EQ(p.error, QStringLiteral("the picture has no size"));
    // 30000 inches wide at 1 unit per inch is far beyond what we draw.
    p = decodeWpgPicture(wpg2File(1, 30000, 10, { line }));
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.error.contains(QStringLiteral("too large"))) << p.error.toStdString();
}

} // namespace
} // namespace mv::imaging::test
