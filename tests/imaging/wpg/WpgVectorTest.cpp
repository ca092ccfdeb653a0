// WordPerfect graphics: version 1 and 2 vector records drawn into images (natural size, pens and
// brushes, every shape, transforms, text, compound polygons, hatches and placed bitmaps), and
// damaged or hostile ones: truncation anywhere, counts beyond the record, floods of records.
#include "../common/Checks.h"
#include "../common/Render.h"
#include "WpgWriter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgDecoder.h"
#include "imaging/wpg/WpgPicture.h"
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

struct Drawn {
    const char* what;
    QByteArray file;
    std::vector<Probe> probes;
};

void expectDrawn(const std::vector<Drawn>& cases)
{
    for (const Drawn& c : cases)
        EXPECT_TRUE(pixelsAre(renderWpg(c.file), c.probes)) << c.what;
}

TEST(WpgVector, NaturalSizeDepthAndEntryPoint)
{
    const Picture p =
        decodePictureData(picture1({wpg1Words(0x05, {0, 0, 2400, 1200})}), QStringLiteral("a.wpg"));
    ASSERT_EQ(summary(p), "WPG 192x96 24-bit vector");
    EXPECT_EQ(p.drawing->naturalSize(), QSizeF(192, 96));
    // A file with only a bitmap stays a raster picture.
    const WpgBitmapInput bitmap {
        .width = 5, .height = 3, .value = [](int x, int) { return std::uint32_t(x & 1); }};
    EXPECT_EQ(summary(decodePictureData(encodeWpg2(bitmap), QStringLiteral("b.wpg"))),
              "WPG 5x3 1-bit raster");
    // Version 2: the extent in its units per inch.
    const QByteArray v2 = wpg2File(600, 1200, 300, {wpg2Object(0x15, kWpg2Framed, {0, 0, 1200, 300}, 2)});
    EXPECT_EQ(summary(decodePictureData(v2, QStringLiteral("c.wpg"))), "WPG 192x48 24-bit vector");
}

TEST(Wpg1Vector, ShapesLinesCurvesTextAndBitmaps)
{
    // Red rectangle, lower-left corner (240, 240), 480 x 480: pixels x 19..57, y 38..76; drawn
    // twice as large it keeps its place.
    const QByteArray rect =
        picture1({wpg1Fill(1, 1), wpg1Line(0, 0, 0), wpg1Words(0x07, {240, 240, 480, 480})});
    EXPECT_TRUE(pixelsAre(renderWpg(rect, kSize * 2), {{76, 114, kRed, 0}, {76, 40, kWhite, 0}}));
    const QList<QPoint> triangle = {{1500, 100}, {2300, 100}, {1900, 1100}};
    // A black bitmap over the right half, lower half of the picture: pixels x 96..191, y 48..95.
    const WpgBitmapInput black {.width = 8, .height = 4, .depth = 1, .value = [](int, int) { return 0u; }};
    expectDrawn({
        {"rectangle", rect, {{38, 57, kRed, 0}, {38, 20, kWhite, 0}, {100, 57, kWhite, 0}}},
        {"hollow fill: the outline only",
         picture1({wpg1Fill(0, 1), wpg1Line(1, 3, 24), wpg1Words(0x07, {240, 240, 480, 480})}),
         {{38, 57, kWhite, 0}, {38, 38, kBlue}}},
        {"green line at x = 1200 units, 48 wide",
         picture1({wpg1Line(1, 2, 48), wpg1Words(0x05, {1200, 0, 1200, 1200})}),
         {{96, 48, kGreen}, {90, 48, kWhite, 0}}},
        {"polygon",
         picture1({wpg1Fill(1, 3), wpg1Points(0x08, triangle)}),
         {{152, 62, kBlue, 0}, {125, 20, kWhite, 0}}},
        {"open polyline, not filled",
         picture1({wpg1Fill(1, 3), wpg1Line(1, 1, 24), wpg1Points(0x06, triangle)}),
         {{152, 62, kWhite, 0}, {152, 88, kRed}}},
        {"ellipse at (600, 600), radii 400 x 200",
         picture1({wpg1Fill(1, 1), wpg1Words(0x09, {600, 600, 400, 200, 0, 0, 0, 0})}),
         {{48, 48, kRed, 0}, {48, 28, kWhite, 0}}},
        {"the ellipse turned by 90 degrees",
         picture1({wpg1Fill(1, 1), wpg1Words(0x09, {600, 600, 400, 200, 90, 0, 0, 0})}),
         {{48, 28, kRed, 0}, {68, 48, kWhite, 0}}},
        {"arc from 0 to 180 degrees: the upper half, unfilled",
         picture1({wpg1Line(1, 3, 24), wpg1Words(0x09, {600, 600, 400, 400, 0, 0, 180, 0})}),
         {{48, 16, kBlue}, {48, 80, kWhite, 0}, {48, 48, kWhite, 0}}},
        {"curve with its control points on y = 600",
         picture1({wpg1Line(1, 1, 48), wpg1Points(0x13, {{0, 600}, {800, 600}, {1600, 600}, {2400, 600}})}),
         {{96, 48, kRed}, {96, 40, kWhite, 0}}},
        {"placed bitmap",
         picture1({wpg1Line(1, 1, 0), wpg1Words(0x05, {0, 1100, 100, 1100}),
                   wpg1PlacedBitmap(black, 1200, 0, 2400, 600)}),
         {{150, 70, Qt::black, 0}, {100, 90, Qt::black, 0}, {150, 30, kWhite, 0}, {60, 70, kWhite, 0}}},
    });
    // Text 480 units (about 38 pixels) high, baseline at y = 360 units (pixel 67), from x = 240.
    const QImage image = renderWpg(picture1({wpg1TextAttributes(480, 0), wpg1Text(240, 360, "HHHH")}));
    EXPECT_GT(darkPixels(image, QRect(19, 35, 100, 32)), 100);
    EXPECT_EQ(darkPixels(image, QRect(0, 70, 192, 26)) + darkPixels(image, QRect(150, 0, 42, 96)) +
                  darkPixels(image, QRect(0, 0, 192, 20)),
              0);
}

TEST(Wpg2Vector, ShapesWithPenBrushTransformAndBitmaps)
{
    // A filled rectangle (240, 240)-(720, 720): pixels x 19..57, y 38..76.
    const QList<int> rect = {240, 240, 720, 720, 0, 0}, triangle = {1500, 100, 2300, 100, 1900, 1100};
    const WpgBitmapInput green {.width = 6, .height = 4, .depth = 8, .value = [](int, int) { return 7u; }};
    expectDrawn({
        {"rectangle",
         picture2({wpg2Object(0x18, kShape, rect)}),
         {{38, 57, kRed, 0}, {38, 38, kBlue}, {100, 57, kWhite, 0}}},
        {"not filled: the frame only",
         picture2({wpg2Object(0x18, kWpg2Framed, rect)}),
         {{38, 57, kWhite, 0}}},
        {"hollow brush pattern",
         picture2({wpg2BrushPattern(1), wpg2Object(0x18, kShape, rect)}),
         {{38, 57, kWhite, 0}}},
        {"moved 1200 units right",
         picture2({wpg2Object(0x18, kShape | kWpg2Translate, rect, -1, false, 1200, 0)}),
         {{134, 57, kRed, 0}, {38, 57, kWhite, 0}}},
        {"double precision",
         picture2({wpg2Object(0x18, kShape, rect, -1, true)}, true),
         {{38, 57, kRed, 0}, {100, 57, kWhite, 0}}},
        {"closed filled triangle",
         picture2({wpg2Object(0x15, kShape | kWpg2Closed, triangle, 3)}),
         {{152, 62, kRed, 0}, {125, 20, kWhite, 0}}},
        {"open triangle, stroked only",
         picture2({wpg2Object(0x15, kWpg2Framed, triangle, 3)}),
         {{152, 62, kWhite, 0}, {152, 88, kBlue}}},
        {"whole ellipse (start = end)",
         picture2({wpg2Object(0x19, kShape, {600, 600, 400, 200, 400, 0, 400, 0})}),
         {{48, 48, kRed, 0}, {48, 28, kWhite, 0}}},
        {"upper half arc, unfilled",
         picture2({wpg2Object(0x19, kWpg2Framed, {600, 600, 400, 400, 400, 0, -400, 0})}),
         {{48, 16, kBlue}, {48, 80, kWhite, 0}}},
        {"polycurve with its control points on y = 600",
         picture2(
             {wpg2PenSize(48),
              wpg2Object(0x17, kWpg2Framed, {0, 600, 0, 600, 800, 600, 1600, 600, 2400, 600, 2400, 600}, 2)}),
         {{96, 48, kBlue}, {96, 40, kWhite, 0}}},
        {"placed bitmap, its colours from the palette",
         picture2({wpgColours(7, {qRgb(0, 200, 0)}, 2),
                   wpg2Object(0x15, kWpg2Framed, {0, 1100, 100, 1100}, 2),
                   wpg2PlacedBitmap(green, 1200, 0, 2400, 600)}),
         {{150, 70, qRgb(0, 200, 0), 0},
          {100, 92, qRgb(0, 200, 0), 0},
          {150, 30, kWhite, 0},
          {60, 70, kWhite, 0}}},
    });
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
    // A block's first line starts at the top left of its box (pixels 19..96 x 8..40); a path draws
    // like a block.
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
    QByteArray after = squares(kWpg2Filled); // after its parts, shapes are drawn on their own again
    after.insert(after.size() - 4, wpg2Object(0x18, kWpg2Filled, {1500, 100, 2300, 1000, 0, 0}));
    expectDrawn({
        {"odd-even: the inner square is a hole",
         squares(kWpg2Filled),
         {{55, 52, kWhite, 0}, {28, 52, kRed, 0}, {55, 80, kRed, 0}, {120, 52, kWhite, 0}}},
        {"winding, both squares the same way round", squares(kWpg2Filled | 0x1000), {{55, 52, kRed, 0}}},
        {"winding, the inner turned the other way",
         squares(kWpg2Filled | 0x1000, 2, true),
         {{55, 52, kWhite, 0}}},
        {"more parts claimed than the file holds",
         squares(kWpg2Filled, 0x7FFFFFFF),
         {{28, 52, kRed, 0}, {55, 52, kWhite, 0}}},
        {"a shape after the parts", after, {{150, 52, kRed, 0}, {55, 52, kWhite, 0}}},
    });
    // Not filled: only the parts' outlines, each closed when the compound is closed.
    const QImage closed = renderWpg(squares(kWpg2Framed | kWpg2Closed));
    EXPECT_TRUE(pixelsAre(closed, {{28, 52, kWhite, 0}}));
    EXPECT_LT(qGray(closed.pixel(19, 52)), 128);
    EXPECT_LT(qGray(closed.pixel(39, 52)), 128);
    EXPECT_EQ(qGray(renderWpg(squares(kWpg2Framed)).pixel(19, 52)), 255);
}

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}
const QRect kInside(20, 20, 60, 50); // well inside the hatched rectangles below, in pixels
const int kAll = kInside.width() * kInside.height();

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
            allWhite = allWhite && qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
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

TEST(WpgHatch, LinesRunTheWayTheStyleSaysOverTheBackgroundBeneath)
{
    // Horizontal lines: whole rows of red with whole rows of background between them, and no
    // whole red column; outside stays untouched. Vertical lines: whole columns instead.
    for (const auto& [image, vertical] :
         {std::pair {wpg1Hatched(18), false}, std::pair {wpg1Hatched(19), true},
          std::pair {wpg2Hatched(18), false}}) {
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
        for (int x = kInside.left() + 1; x < kInside.right(); ++x)
            if (isRed(image.pixel(x, y))) {
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
    EXPECT_LT(dense, kAll);
    // Solid and unknown styles fill every pixel; hollow none.
    for (const auto& [hatched, red] :
         {std::pair {wpg1Hatched(1), kAll}, std::pair {wpg1Hatched(200), kAll}, std::pair {wpg1Hatched(0), 0},
          std::pair {wpg2Hatched(0), kAll}, std::pair {wpg2Hatched(1), 0}})
        EXPECT_EQ(redPixels(hatched), red);
    // Cross-hatch over a blue square: the blue shows between the lines.
    const QByteArray square = wpg2Object(0x18, kWpg2Filled, {150, 150, 1100, 1050, 0, 0});
    const QImage crossed = renderWpg(wpg2File(
        1200, 2400, 1200,
        {wpg2Colour(0x31, kBlue, true), square, wpg2Colour(0x31, kRed, true), wpg2BrushPattern(20), square}));
    EXPECT_GT(countPixels(crossed, kInside, [](QRgb c) { return c == kBlue; }), kAll / 2);
    EXPECT_GE(fullRows(crossed).first, 4);
    EXPECT_GE(fullRows(crossed, true).first, 4);
}

// Samples with every kind of record, for the truncation test and the fuzz seeds.
QByteArray wpg1Sample()
{
    return wpg1File(2400, 1200,
                    {wpgColours(1, {kRed}), wpg1Fill(1, 1), wpg1Line(1, 1, 24),
                     wpg1Words(0x07, {240, 240, 480, 480}),
                     wpg1Points(0x08, {{1500, 100}, {2300, 100}, {1900, 1100}}),
                     wpg1Words(0x09, {600, 600, 400, 200, 30, 0, 0, 0}),
                     wpg1Points(0x13, {{0, 600}, {800, 900}, {1600, 300}, {2400, 600}}),
                     wpg1TextAttributes(240, 1), wpg1Text(100, 100, "WPG")});
}
QByteArray wpg2Sample()
{
    const WpgBitmapInput s {.width = 4, .height = 4, .depth = 4, .value = [](int x, int y) {
                                return std::uint32_t((x + y) & 15);
                            }};
    return wpg2File(1200, 2400, 1200,
                    {wpg2Colour(0x31, kRed, true), wpg2Colour(0x25, kBlue),
                     wpg2Object(0x18, 0xA000, {240, 240, 720, 720, 40, 40}),
                     wpg2Object(0x15, 0xE000, {1500, 100, 2300, 100, 1900, 1100}, 3),
                     wpg2Object(0x19, 0xA000, {600, 600, 400, 200, 400, 0, 0, 200}),
                     wpg2Object(0x17, 0x8000, {0, 600, 0, 600, 800, 900, 1600, 300, 2400, 600, 2400, 600}, 2),
                     wpg2PlacedBitmap(s, 1200, 0, 2400, 600)});
}
QByteArray wpg1HatchSample()
{
    return wpg1File(2400, 1200,
                    {wpgColours(1, {kRed}), wpg1Fill(18, 1), wpg1Words(0x07, {240, 240, 480, 480}),
                     wpg1Fill(2, 1), wpg1Words(0x07, {1000, 240, 480, 480}), wpg1Fill(14, 1),
                     wpg1Points(0x08, {{1500, 100}, {2300, 100}, {1900, 1100}})});
}
QByteArray wpg2HatchSample()
{
    return wpg2File(1200, 2400, 1200,
                    {wpg2Colour(0x31, kRed, true), wpg2BrushPattern(20),
                     wpg2Object(0x18, 0xA000, {240, 240, 720, 720, 0, 0}), wpg2BrushPattern(5),
                     wpg2Object(0x19, 0xA000, {1600, 600, 400, 200, 400, 0, 400, 0})});
}
QByteArray wpg2TextSample()
{
    return wpg2File(1200, 2400, 1200,
                    {wpg2TextLine(100, 600, 1, 30),
                     wpg2TextData("WPG \xF0"
                                  "A\x00\xF0 line"),
                     wpg2TextBox(240, 1100, 1200, 700),
                     wpg2TextData(QByteArray("one\xD0\x01\x08\x00\x00\x08\x00\xD0two", 14)),
                     wpg2TextBox(1300, 1100, 2300, 700, 0x1E), wpg2TextData("path")});
}
QByteArray wpg2CompoundSample()
{
    return wpg2File(1200, 2400, 1200,
                    {wpg2Compound(0xA000, 3), wpg2Object(0x15, 0, {240, 100, 1140, 100, 1140, 1000}, 3),
                     wpg2Object(0x17, 0, {400, 300, 400, 300, 700, 300, 800, 800, 800, 800, 400, 300}, 2),
                     wpg2Object(0x18, 0, {1500, 100, 2300, 1000, 0, 0})});
}

const std::vector<wpg::WpgItem>& items(const DecodeResult& p)
{
    return dynamic_cast<const wpg::WpgPicture&>(*p.drawing).items();
}

// Decodes, and draws if it decoded.
Picture decodeAndDraw(const QByteArray& file)
{
    const Picture p = decodeWpgPicture(file);
    EXPECT_TRUE(p.ok()) << p.status.reason;
    if (p.ok() && p.drawing)
        (void)render(p, QSize(64, 64));
    return p;
}

TEST(WpgVectorDamage, TruncatedAnywhereGivesAnErrorOrAPartialPicture)
{
    for (const QByteArray& whole : {wpg1Sample(), wpg2Sample(), wpg1HatchSample(), wpg2HatchSample(),
                                    wpg2TextSample(), wpg2CompoundSample()}) {
        const Picture full = decodeWpgPicture(whole);
        ASSERT_TRUE(full.ok()) << full.status.reason;
        for (qsizetype cut = 0; cut < whole.size(); ++cut) {
            const Picture p = decodeWpgPicture(whole.first(cut));
            if (!p.ok()) {
                EXPECT_FALSE(p.status.reason.empty()) << cut;
                continue;
            }
            EXPECT_EQ(p.width, full.width) << cut; // a partial drawing keeps its size, and draws
            if (p.drawing)
                (void)render(p, QSize(64, 64));
        }
    }
}

TEST(WpgVectorDamage, CountsAndLengthsAreCappedByWhatIsThereAndBadStartRecordsAreRefused)
{
    // 65535 points claimed, three stored: the triangle is still drawn, in EGA red (colour 4).
    const QByteArray claimed = wpg1File(
        2400, 1200, {wpg1Fill(1, 4), wpg1Points(0x08, {{1500, 100}, {2300, 100}, {1900, 1100}}, 65535)});
    EXPECT_TRUE(pixelsAre(renderWpg(claimed), {{152, 62, qRgb(0xAA, 0, 0), 60}, {40, 50, kWhite, 0}}));
    (void)decodeAndDraw(wpg2File(1200, 2400, 1200,
                                 {wpg2Object(0x17, 0xE000, {0, 0, 10, 10}, 65535),
                                  wpg2Object(0x15, 0x8000, {0, 0, 2400, 1200}, 40000)}));
    // Records past the end end the playback with what was drawn.
    QByteArray past = wpg1File(2400, 1200, {wpg1Fill(1, 4), wpg1Words(0x07, {240, 240, 480, 480})});
    past.chop(2);                                   // drop the end record
    past.append(QByteArray("\x07\xFF\xFF\x7F", 4)); // a rectangle of 32767 bytes that are not there
    EXPECT_TRUE(pixelsAre(render(decodeAndDraw(past), kSize), {{38, 57, qRgb(0xAA, 0, 0), 60}}));

    const QByteArray line = wpg1Words(0x05, {0, 0, 100, 100});
    const QByteArray line2 = wpg2Object(0x15, kWpg2Framed, {0, 0, 100, 100}, 2);
    QByteArray noStart = wpg1File(2400, 1200, {line});
    noStart.remove(16, 8);
    const struct {
        QByteArray file;
        const char* words;
    } refused[] = {
        {wpg1File(0, 1200, {line}), "the picture has no size"},
        {wpg1File(2400, 0, {line}), ""},
        {noStart, ""},
        {wpg2File(0, 2400, 1200, {line2}), "the picture has no unit of measure"},
        {wpg2File(1200, 0, 1200, {line2}), "the picture has no size"},
        {wpg2File(1, 30000, 10, {line2}), "too large"}, // 30000 inches wide at 1 unit per inch
    };
    for (const auto& r : refused)
        EXPECT_TRUE(failsWith(decodeWpgPicture(r.file), r.words)) << r.words;
}

TEST(WpgVectorDamage, FloodsHugeShapesTextAndCompoundsStayBounded)
{
    // 300000 unknown records, then a rectangle that comes too late to be drawn.
    QList<QByteArray> records(300000, wpg1Rec(0x30, QByteArray(1, '\0')));
    records = QList<QByteArray> {wpg1Words(0x05, {0, 0, 10, 10}), wpg1Line(1, 1, 0)} + records;
    records.append(wpg1Words(0x07, {0, 0, 2400, 1200}));
    EXPECT_TRUE(
        pixelsAre(render(decodeAndDraw(wpg1File(2400, 1200, records)), kSize), {{96, 48, kWhite, 0}}));
    // Coordinates and pen widths at their extremes.
    (void)decodeAndDraw(wpg1File(
        65535, 65535,
        {wpg1Line(1, 1, 65535), wpg1Words(0x09, {0x8000, 0x7FFF, 0xFFFF, 0xFFFF, 0x7FFF, 0x8000, 0x7FFF, 0}),
         wpg1TextAttributes(65534, 1), wpg1Text(0, 0, QByteArray(4000, 'W'))}));
    // A text line cut short places nothing; the rectangle before it is still drawn.
    Picture p = decodeAndDraw(
        wpg2File(1200, 2400, 1200,
                 {wpg2Colour(0x31, kRed, true), wpg2Object(0x18, 0x2000, {240, 240, 720, 720, 0, 0}),
                  wpg2Rec(0x1C, wpg2TextLine(100, 600).mid(4, 7)), wpg2TextData("lost")}));
    EXPECT_EQ(items(p).size(), 1u);
    EXPECT_TRUE(pixelsAre(render(p, kSize), {{38, 57, kRed, 0}}));
    // 200000 bytes of text and function codes: the text is cut at its limit.
    QByteArray flood;
    for (int i = 0; i < 20000; ++i)
        flood += QByteArray("ab\xF2\x01\xF2\x80\x81", 7) + "cd";
    p = decodeAndDraw(wpg2File(1200, 2400, 1200, {wpg2TextLine(0, 600), wpg2TextData(flood)}));
    ASSERT_EQ(items(p).size(), 1u);
    EXPECT_EQ(items(p)[0].text.size(), wpg::kMaxWpgTextLength);
    // Hundreds of lines in a tiny block: only what fits is kept.
    p = decodeAndDraw(
        wpg2File(1200, 2400, 1200,
                 {wpg2TextBox(0, 1200, 2400, 1000),
                  wpg2TextData(QByteArray("x\xD0\x01\x08\x00\x00\x08\x00\xD0", 9).repeated(500))}));
    EXPECT_LE(items(p).size(), 2u);
    // A picture two units high drawn into a square stretches its text 2000 times more along y
    // than along x: drawn as outlines, not through Qt's glyph cache, which cannot take it.
    p = decodeAndDraw(
        wpg2File(1200, 2400, 2,
                 {wpg2TextLine(0, 1), wpg2TextData("HH"), wpg2TextBox(0, 2, 2400, 0), wpg2TextData("HH")}));
    EXPECT_EQ(items(p).size(), 2u);
    // The file the fuzzer found this with: a stretched picture whose text block crashed Qt.
    (void)decodeAndDraw(QByteArray::fromBase64(
        "/1dQQxAAAAABFgIAAAAAAAoBABWwBLD0AAAAAABgCbAEAA4HAQgOA2AJDAwMDAwMDAwMDAwMDAwMDAwMDAwMDE5OTk5OTk5O"
        "Tk5OTk5OTk5OTk5OTk5OTk5OTk5OTk5OTk5ODAwMDAwMDAwMDAwMDAwMDAwMDAwMDAwMDLAEAAACFAAKGAAAAABYAgEAAAAe"
        "AAoPAAZXUEcg8EEKHQAKAADwAEwEsAS8AgoPAA5vbmXQAQgAAAgA0HR3bwoeAAoAAA=="));
    // Compounds nested far deeper than we follow, each claiming two billion parts.
    QList<QByteArray> nested(1000, wpg2Compound(0xA000, 0x7FFFFFFF));
    nested.append(wpg2Object(0x15, 0, {0, 0, 2400, 0, 2400, 1200}, 3));
    EXPECT_EQ(items(decodeAndDraw(wpg2File(1200, 2400, 1200, nested))).size(), 1u);
}

} // namespace
} // namespace mv::imaging::test
