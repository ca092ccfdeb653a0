// WordPerfect graphics: version 1 and 2 vector records drawn into images: natural size, pens and
// brushes, every shape, transforms, text, compound polygons, hatches and placed bitmaps.
#include "../common/Checks.h"
#include "../common/Render.h"
#include "WpgWriter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgDecoder.h"
#include "imaging/wpg/WpgStyle.h"

namespace mv::imaging::test {
namespace {

constexpr QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255),
               kWhite = qRgb(255, 255, 255);
const QSize kSize(192, 96); // 2 x 1 inch at 96 dpi
constexpr int kShape = kWpg2Filled | kWpg2Framed;

QImage renderWpg(const QByteArray& file, QSize size = kSize)
{
    return renderVector(decodeWpgPicture, file, size);
}

// Version 1, 2 x 1 inch; colour 1 red, 2 green, 3 blue; then the records.
QByteArray picture1(const QList<QByteArray>& records)
{
    return wpg1File(2400, 1200, QList<QByteArray> {wpgColours(1, {kRed, kGreen, kBlue})} + records);
}
// Version 2, 2 x 1 inch at 1200 units per inch, red brush, blue pen 24 units wide, then the records.
QByteArray picture2(const QList<QByteArray>& records, bool doublePrecision = false)
{
    return wpg2File(
        1200, 2400, 1200,
        QList<QByteArray> {wpg2Colour(0x31, kRed, true), wpg2Colour(0x25, kBlue), wpg2PenSize(24)} + records,
        doublePrecision);
}

TEST(WpgVector, NaturalSizeDepthAndEntryPoint)
{
    const Picture p =
        decodePictureData(picture1({wpg1Words(0x05, {0, 0, 2400, 1200})}), QStringLiteral("drawing.wpg"));
    ASSERT_EQ(summary(p), "WPG 192x96 24-bit vector");
    EXPECT_EQ(p.drawing->naturalSize(), QSizeF(192, 96));
    // A file with only a bitmap stays a raster picture.
    EXPECT_EQ(
        summary(decodePictureData(
            encodeWpg2({.width = 5, .height = 3, .value = [](int x, int) { return std::uint32_t(x & 1); }}),
            QStringLiteral("bitmap.wpg"))),
        "WPG 5x3 1-bit raster");
    // Version 2: the extent in its units per inch.
    EXPECT_EQ(summary(decodePictureData(
                  wpg2File(600, 1200, 300, {wpg2Object(0x15, kWpg2Framed, {0, 0, 1200, 300}, 2)}),
                  QStringLiteral("drawing.wpg"))),
              "WPG 192x48 24-bit vector");
}

TEST(Wpg1Vector, ShapesLinesCurvesAndText)
{
    // Red rectangle, lower-left corner (240, 240), 480 x 480: pixels x 19..57, y 38..76; the same
    // file drawn twice as large keeps its place.
    const QByteArray rect =
        picture1({wpg1Fill(1, 1), wpg1Line(0, 0, 0), wpg1Words(0x07, {240, 240, 480, 480})});
    EXPECT_TRUE(pixelsAre(renderWpg(rect), {{38, 57, kRed, 0}, {38, 20, kWhite, 0}, {100, 57, kWhite, 0}}));
    EXPECT_TRUE(pixelsAre(renderWpg(rect, kSize * 2), {{76, 114, kRed, 0}, {76, 40, kWhite, 0}}));
    // Hollow fill: only the outline of the rectangle.
    EXPECT_TRUE(pixelsAre(
        renderWpg(picture1({wpg1Fill(0, 1), wpg1Line(1, 3, 24), wpg1Words(0x07, {240, 240, 480, 480})})),
        {{38, 57, kWhite, 0}, {38, 38, kBlue}}));
    // A vertical green line at x = 1200 units (pixel 96), 48 units wide.
    EXPECT_TRUE(pixelsAre(renderWpg(picture1({wpg1Line(1, 2, 48), wpg1Words(0x05, {1200, 0, 1200, 1200})})),
                          {{96, 48, kGreen}, {90, 48, kWhite, 0}}));
    // A blue triangle: its centre is blue, outside is not. An open polyline is not filled.
    const QList<QPoint> triangle = {{1500, 100}, {2300, 100}, {1900, 1100}};
    EXPECT_TRUE(pixelsAre(renderWpg(picture1({wpg1Fill(1, 3), wpg1Points(0x08, triangle)})),
                          {{152, 62, kBlue, 0}, {125, 20, kWhite, 0}}));
    EXPECT_TRUE(
        pixelsAre(renderWpg(picture1({wpg1Fill(1, 3), wpg1Line(1, 1, 24), wpg1Points(0x06, triangle)})),
                  {{152, 62, kWhite, 0}, {152, 88, kRed}}));
    // A red ellipse at (600, 600), radii 400 x 200: centre red, 250 units above white; turned by
    // 90 degrees it stands upright.
    EXPECT_TRUE(
        pixelsAre(renderWpg(picture1({wpg1Fill(1, 1), wpg1Words(0x09, {600, 600, 400, 200, 0, 0, 0, 0})})),
                  {{48, 48, kRed, 0}, {48, 28, kWhite, 0}}));
    EXPECT_TRUE(
        pixelsAre(renderWpg(picture1({wpg1Fill(1, 1), wpg1Words(0x09, {600, 600, 400, 200, 90, 0, 0, 0})})),
                  {{48, 28, kRed, 0}, {68, 48, kWhite, 0}}));
    // An arc from 0 to 180 degrees: the upper half only, unfilled.
    EXPECT_TRUE(pixelsAre(
        renderWpg(picture1({wpg1Line(1, 3, 24), wpg1Words(0x09, {600, 600, 400, 400, 0, 0, 180, 0})})),
        {{48, 16, kBlue}, {48, 80, kWhite, 0}, {48, 48, kWhite, 0}}));
    // A curve with its control points on a straight line crosses the middle at y = 600.
    EXPECT_TRUE(
        pixelsAre(renderWpg(picture1({wpg1Line(1, 1, 48),
                                      wpg1Points(0x13, {{0, 600}, {800, 600}, {1600, 600}, {2400, 600}})})),
                  {{96, 48, kRed}, {96, 40, kWhite, 0}}));
    // Text 480 units (about 38 pixels) high, baseline at y = 360 units (pixel 67), from x = 240.
    const QImage image = renderWpg(picture1({wpg1TextAttributes(480, 0), wpg1Text(240, 360, "HHHH")}));
    EXPECT_GT(darkPixels(image, QRect(19, 35, 100, 32)), 100);
    EXPECT_EQ(darkPixels(image, QRect(0, 70, 192, 26)) + darkPixels(image, QRect(150, 0, 42, 96)) +
                  darkPixels(image, QRect(0, 0, 192, 20)),
              0);
}

TEST(WpgVector, BitmapLandsAtItsRectangle)
{
    // A black bitmap over the right half, lower half of the picture: pixels x 96..191, y 48..95.
    const WpgBitmapInput s {.width = 8, .height = 4, .depth = 1, .value = [](int, int) { return 0u; }};
    const QImage image = renderWpg(picture1(
        {wpg1Line(1, 1, 0), wpg1Words(0x05, {0, 1100, 100, 1100}), wpg1PlacedBitmap(s, 1200, 0, 2400, 600)}));
    EXPECT_TRUE(pixelsAre(
        image,
        {{150, 70, Qt::black, 0}, {100, 90, Qt::black, 0}, {150, 30, kWhite, 0}, {60, 70, kWhite, 0}}));
    // Version 2, its colours from the palette.
    const WpgBitmapInput s2 {.width = 6, .height = 4, .depth = 8, .value = [](int, int) { return 7u; }};
    const QImage image2 = renderWpg(
        picture2({wpgColours(7, {qRgb(0, 200, 0)}, 2), wpg2Object(0x15, kWpg2Framed, {0, 1100, 100, 1100}, 2),
                  wpg2PlacedBitmap(s2, 1200, 0, 2400, 600)}));
    EXPECT_TRUE(pixelsAre(image2, {{150, 70, qRgb(0, 200, 0), 0},
                                   {100, 92, qRgb(0, 200, 0), 0},
                                   {150, 30, kWhite, 0},
                                   {60, 70, kWhite, 0}}));
}

TEST(Wpg2Vector, ShapesWithPenBrushAndTransform)
{
    // A filled rectangle (240, 240)-(720, 720): pixels x 19..57, y 38..76; not filled, only the
    // frame; brush pattern 1 is hollow too; moved 1200 units right by its transform; in double
    // precision.
    const QList<int> rect = {240, 240, 720, 720, 0, 0};
    EXPECT_TRUE(pixelsAre(renderWpg(picture2({wpg2Object(0x18, kShape, rect)})),
                          {{38, 57, kRed, 0}, {38, 38, kBlue}, {100, 57, kWhite, 0}}));
    EXPECT_TRUE(pixelsAre(renderWpg(picture2({wpg2Object(0x18, kWpg2Framed, rect)})), {{38, 57, kWhite, 0}}));
    EXPECT_TRUE(pixelsAre(renderWpg(picture2({wpg2BrushPattern(1), wpg2Object(0x18, kShape, rect)})),
                          {{38, 57, kWhite, 0}}));
    EXPECT_TRUE(
        pixelsAre(renderWpg(picture2({wpg2Object(0x18, kShape | kWpg2Translate, rect, -1, false, 1200, 0)})),
                  {{134, 57, kRed, 0}, {38, 57, kWhite, 0}}));
    EXPECT_TRUE(pixelsAre(renderWpg(picture2({wpg2Object(0x18, kShape, rect, -1, true)}, true)),
                          {{38, 57, kRed, 0}, {100, 57, kWhite, 0}}));
    // A closed, filled triangle; an open one is only stroked.
    const QList<int> triangle = {1500, 100, 2300, 100, 1900, 1100};
    EXPECT_TRUE(pixelsAre(renderWpg(picture2({wpg2Object(0x15, kShape | kWpg2Closed, triangle, 3)})),
                          {{152, 62, kRed, 0}, {125, 20, kWhite, 0}}));
    EXPECT_TRUE(pixelsAre(renderWpg(picture2({wpg2Object(0x15, kWpg2Framed, triangle, 3)})),
                          {{152, 62, kWhite, 0}, {152, 88, kBlue}}));
    // A whole ellipse (start point = end point) at (600, 600), radii 400 x 200; the upper half
    // arc, from angle 0 to 180 degrees, unfilled.
    EXPECT_TRUE(
        pixelsAre(renderWpg(picture2({wpg2Object(0x19, kShape, {600, 600, 400, 200, 400, 0, 400, 0})})),
                  {{48, 48, kRed, 0}, {48, 28, kWhite, 0}}));
    EXPECT_TRUE(
        pixelsAre(renderWpg(picture2({wpg2Object(0x19, kWpg2Framed, {600, 600, 400, 400, 400, 0, -400, 0})})),
                  {{48, 16, kBlue}, {48, 80, kWhite, 0}}));
    // A polycurve of two points whose control points lie on the line y = 600.
    EXPECT_TRUE(pixelsAre(
        renderWpg(picture2(
            {wpg2PenSize(48),
             wpg2Object(0x17, kWpg2Framed, {0, 600, 0, 600, 800, 600, 1600, 600, 2400, 600, 2400, 600}, 2)})),
        {{96, 48, kBlue}, {96, 40, kWhite, 0}}));
}

TEST(Wpg2Text, CharactersPassFunctionCodesBy)
{
    // Characters among functions of variable length (D4, D0: a line end), of fixed length (F0 with
    // a character in it, F2) and single-byte codes (80, 0A).
    const QByteArray stream = QByteArray::fromHex(
        "4142 D4 1B 0800 01 0800 D4  43 80  F0 44 00 F0  F2 0C F2  D0 04 0800 00 0800 D0  45 0A");
    EXPECT_EQ(wpg::wpg2TextCharacters(stream, 100), QStringLiteral("ABC D\nE"));
    // A function longer than what is left, or one of unknown length, ends the text.
    for (const char* cut : {"4142 D4 1B FF00 78797A", "4142 D4 1B 0200 78797A", "4142 FF 4344", "4142 F0 43"})
        EXPECT_EQ(wpg::wpg2TextCharacters(QByteArray::fromHex(cut), 100), QStringLiteral("AB")) << cut;
    EXPECT_EQ(wpg::wpg2TextCharacters(QByteArray(10000, 'x'), wpg::kMaxWpgTextLength).size(),
              wpg::kMaxWpgTextLength);
}

TEST(Wpg2Text, LinesBlocksAndPathsDrawInsideTheirPlace)
{
    const auto text = [](const QByteArray& place, const QByteArray& characters) {
        return renderWpg(wpg2File(1200, 2400, 1200, {place, wpg2TextData(characters)}));
    };
    // 12 points = 200 units = 16 pixels high; baseline at y = 360 units (pixel 67), x from 240 (19).
    QImage image = text(wpg2TextLine(240, 360), "HHHH");
    EXPECT_GT(darkPixels(image, QRect(19, 50, 60, 18)), 60);
    EXPECT_EQ(darkPixels(image, QRect(0, 70, 192, 26)) + darkPixels(image, QRect(0, 0, 192, 45)) +
                  darkPixels(image, QRect(100, 0, 92, 96)),
              0);
    // Centred on x = 1200 (pixel 96): ink on both sides of the point.
    image = text(wpg2TextLine(1200, 360, 1), "HHHH");
    EXPECT_GT(darkPixels(image, QRect(70, 50, 26, 18)), 20);
    EXPECT_GT(darkPixels(image, QRect(97, 50, 26, 18)), 20);
    // Turned by 90 degrees the line runs upwards from its point, in a narrow column.
    image = text(wpg2TextLine(1200, 100, 0, 90), "HHHH");
    EXPECT_GT(darkPixels(image, QRect(80, 20, 17, 70)), 60);
    EXPECT_EQ(darkPixels(image, QRect(100, 0, 92, 96)) + darkPixels(image, QRect(0, 0, 75, 96)), 0);
    // A block: its first line starts at the top left of its box (pixels 19..96 x 8..40); a path
    // draws like a block.
    for (const int type : {0x1D, 0x1E}) {
        image = text(wpg2TextBox(240, 1100, 1200, 700, type), "HHHH");
        EXPECT_GT(darkPixels(image, QRect(19, 8, 60, 20)), 60) << type;
        EXPECT_EQ(darkPixels(image, QRect(0, 40, 192, 56)), 0) << type;
    }
    // A block of two lines puts the second below the first, still inside the box.
    image = text(wpg2TextBox(240, 1100, 1200, 700), QByteArray("HH\xD0\x01\x08\x00\x00\x08\x00\xD0HH", 12));
    EXPECT_GT(darkPixels(image, QRect(19, 27, 60, 14)), 30);
    EXPECT_EQ(darkPixels(image, QRect(0, 45, 192, 51)), 0);
    // Text data without a text object before it draws nothing.
    image = renderWpg(
        wpg2File(1200, 2400, 1200, {wpg2TextData("HHHH"), wpg2Object(0x15, kWpg2Framed, {0, 0, 10, 0}, 2)}));
    EXPECT_EQ(darkPixels(image, QRect(0, 0, 192, 90)), 0);
}

// Two squares, the second inside the first, as parts of one compound polygon. Pixels: outer
// 19..91 x 16..88, inner 39..71 x 36..68.
QByteArray squares(int compoundFlags, std::uint32_t children = 2, bool innerReversed = false)
{
    const QList<int> inner = innerReversed ? QList<int> {490, 350, 490, 750, 890, 750, 890, 350}
                                           : QList<int> {490, 350, 890, 350, 890, 750, 490, 750};
    return wpg2File(1200, 2400, 1200,
                    {wpg2Colour(0x31, kRed, true), wpg2PenSize(48), wpg2Compound(compoundFlags, children),
                     wpg2Object(0x15, 0, {240, 100, 1140, 100, 1140, 1000, 240, 1000}, 4),
                     wpg2Object(0x15, 0, inner, 4)});
}

TEST(Wpg2Compound, PartsFillAsOneShape)
{
    // Odd-even: the inner square is a hole.
    EXPECT_TRUE(pixelsAre(renderWpg(squares(kWpg2Filled)),
                          {{55, 52, kWhite, 0}, {28, 52, kRed, 0}, {55, 80, kRed, 0}, {120, 52, kWhite, 0}}));
    // Winding with both squares the same way round: no hole; turned the other way: a hole.
    EXPECT_TRUE(pixelsAre(renderWpg(squares(kWpg2Filled | 0x1000)), {{55, 52, kRed, 0}}));
    EXPECT_TRUE(pixelsAre(renderWpg(squares(kWpg2Filled | 0x1000, 2, true)), {{55, 52, kWhite, 0}}));
    // Not filled: only the parts' outlines, each closed when the compound is closed.
    const QImage closed = renderWpg(squares(kWpg2Framed | kWpg2Closed));
    EXPECT_TRUE(pixelsAre(closed, {{28, 52, kWhite, 0}}));
    EXPECT_LT(qGray(closed.pixel(19, 52)), 128);
    EXPECT_LT(qGray(closed.pixel(39, 52)), 128);
    EXPECT_EQ(qGray(renderWpg(squares(kWpg2Framed)).pixel(19, 52)), 255);
    // A compound that claims more parts than the file holds is drawn with those it has.
    EXPECT_TRUE(
        pixelsAre(renderWpg(squares(kWpg2Filled, 0x7FFFFFFF)), {{28, 52, kRed, 0}, {55, 52, kWhite, 0}}));
    // After its parts, shapes are drawn on their own again.
    QByteArray file = squares(kWpg2Filled);
    file.insert(file.size() - 4, wpg2Object(0x18, kWpg2Filled, {1500, 100, 2300, 1000, 0, 0}));
    EXPECT_TRUE(pixelsAre(renderWpg(file), {{150, 52, kRed, 0}, {55, 52, kWhite, 0}}));
}

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}
bool isWhite(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
}
const QRect kInside(20, 20, 60, 50); // well inside the hatched rectangles below, in pixels

// Rows (or columns) of the box that are wholly red, and those wholly white.
std::pair<int, int> fullRows(const QImage& image, bool columns = false)
{
    int red = 0, white = 0;
    const int lines = columns ? kInside.width() : kInside.height(),
              length = columns ? kInside.height() : kInside.width();
    for (int i = 0; i < lines; ++i) {
        bool allRed = true, allWhite = true;
        for (int j = 0; j < length; ++j) {
            const QRgb c = columns ? image.pixel(kInside.left() + i, kInside.top() + j)
                                   : image.pixel(kInside.left() + j, kInside.top() + i);
            allRed = allRed && isRed(c);
            allWhite = allWhite && isWhite(c);
        }
        red += allRed ? 1 : 0;
        white += allWhite ? 1 : 0;
    }
    return {red, white};
}

int redPixels(const QImage& image)
{
    return countPixels(image, kInside, isRed);
}

// A red rectangle of a fill style (version 1: pixels 12..88 x 12..84, no outline) or brush
// pattern (version 2).
QImage wpg1Hatched(int style)
{
    return renderWpg(wpg1File(2400, 1200,
                              {wpgColours(1, {kRed}), wpg1Fill(style, 1), wpg1Line(0, 1, 0),
                               wpg1Words(0x07, {150, 150, 950, 900})}));
}
QImage wpg2Hatched(int pattern)
{
    return renderWpg(wpg2File(1200, 2400, 1200,
                              {wpg2Colour(0x31, kRed, true), wpg2BrushPattern(pattern),
                               wpg2Object(0x18, kWpg2Filled, {150, 150, 1100, 1050, 0, 0})}));
}

TEST(WpgHatch, Version1LinesRunTheWayTheStyleSays)
{
    // Horizontal lines: whole rows of red with whole rows of background between them, and no
    // whole red column; outside stays untouched. Vertical lines: whole columns instead.
    for (const bool vertical : {false, true}) {
        const QImage image = wpg1Hatched(vertical ? 19 : 18);
        const auto [red, white] = fullRows(image, vertical);
        EXPECT_GE(red, 4) << vertical;
        EXPECT_GE(white, 4 * 4) << vertical;
        EXPECT_EQ(fullRows(image, !vertical).first, 0) << vertical;
        EXPECT_TRUE(pixelsAre(image, {{150, 40, kWhite, 0}}));
    }
    // Lines rising to the right: each red pixel continues up and right, not up and left.
    const QImage image = wpg1Hatched(2);
    int rising = 0, falling = 0;
    for (int y = kInside.top() + 1; y <= kInside.bottom(); ++y)
        for (int x = kInside.left() + 1; x < kInside.right(); ++x) {
            if (!isRed(image.pixel(x, y)))
                continue;
            rising += isRed(image.pixel(x + 1, y - 1)) ? 1 : 0;
            falling += isRed(image.pixel(x - 1, y - 1)) ? 1 : 0;
        }
    EXPECT_GT(rising, 100);
    EXPECT_LT(falling, rising / 4);
    EXPECT_EQ(fullRows(image).first, 0);
    // Dots: the densest style covers more than the sparsest, and neither is solid.
    const int sparse = redPixels(wpg1Hatched(11)), dense = redPixels(wpg1Hatched(17));
    EXPECT_GT(sparse, 0);
    EXPECT_GT(dense, sparse * 4);
    EXPECT_LT(dense, kInside.width() * kInside.height());
    // Solid and unknown styles fill every pixel; hollow none.
    EXPECT_EQ(redPixels(wpg1Hatched(1)), kInside.width() * kInside.height());
    EXPECT_EQ(redPixels(wpg1Hatched(200)), kInside.width() * kInside.height());
    EXPECT_EQ(redPixels(wpg1Hatched(0)), 0);
}

TEST(WpgHatch, Version2PatternsAndTheBackgroundBeneath)
{
    const auto [red, white] = fullRows(wpg2Hatched(18));
    EXPECT_GE(red, 4);
    EXPECT_GE(white, 4 * 4);
    EXPECT_EQ(redPixels(wpg2Hatched(0)), kInside.width() * kInside.height());
    EXPECT_EQ(redPixels(wpg2Hatched(1)), 0);
    // Cross-hatch over a blue square: the blue shows between the lines.
    const QByteArray square = wpg2Object(0x18, kWpg2Filled, {150, 150, 1100, 1050, 0, 0});
    const QImage image = renderWpg(wpg2File(
        1200, 2400, 1200,
        {wpg2Colour(0x31, kBlue, true), square, wpg2Colour(0x31, kRed, true), wpg2BrushPattern(20), square}));
    EXPECT_GT(countPixels(image, kInside, [](QRgb c) { return c == kBlue; }),
              kInside.width() * kInside.height() / 2);
    EXPECT_GE(fullRows(image).first, 4);
    EXPECT_GE(fullRows(image, true).first, 4);
}

} // namespace
} // namespace mv::imaging::test
