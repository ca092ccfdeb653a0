// Hatched fills of both versions: lines in the brush colour with the background showing between
// them, in the direction the style names.
#include "RenderWpg.h"
#include "WpgVectorEncoder.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
const QSize kSize(192, 96);
const QRect kInside(20, 20, 60, 50); // well inside the rectangle below, in pixels

bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isWhite(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200; }

// Rows of the box that are wholly red, and rows that are wholly white.
std::pair<int, int> fullRows(const QImage& image, const QRect& box, bool columns = false)
{
    int red = 0;
    int white = 0;
    const int lines = columns ? box.width() : box.height();
    const int length = columns ? box.height() : box.width();
    for (int i = 0; i < lines; ++i) {
        bool allRed = true;
        bool allWhite = true;
        for (int j = 0; j < length; ++j) {
            const QRgb c = columns ? image.pixel(box.left() + i, box.top() + j) : image.pixel(box.left() + j, box.top() + i);
            allRed = allRed && isRed(c);
            allWhite = allWhite && isWhite(c);
        }
        red += allRed ? 1 : 0;
        white += allWhite ? 1 : 0;
    }
    return { red, white };
}

int redPixels(const QImage& image, const QRect& box)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += isRed(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// A red rectangle of fill style `style` covering pixels 12..88 x 12..84, no outline.
QImage wpg1Hatched(int style)
{
    return renderWpg(wpg1File(2400, 1200, { wpg1Colours(1, { kRed }), wpg1Fill(style, 1), wpg1Line(0, 1, 0),
                                            wpg1Words(0x07, { 150, 150, 950, 900 }) }),
                     kSize);
}

QImage wpg2Hatched(int pattern)
{
    return renderWpg(wpg2File(1200, 2400, 1200, { wpg2Colour(0x31, kRed, true), wpg2BrushPattern(pattern),
                                                  wpg2Object(0x18, kWpg2Filled, { 150, 150, 1100, 1050, 0, 0 }) }),
                     kSize);
}

TEST(WpgHatch, Version1LinesRunTheWayTheStyleSays)
{
    // Horizontal lines: whole rows of red with whole rows of background between them.
    QImage image = wpg1Hatched(18);
    auto [red, white] = fullRows(image, kInside);
    EXPECT_GE(red, 4);
    EXPECT_GE(white, 4 * 4);
    EXPECT_TRUE(colourNear(image, 150, 40, kWhite, 0)); // outside stays untouched
    // ...and no whole red column.
    EXPECT_EQ(fullRows(image, kInside, true).first, 0);

    // Vertical lines: whole columns instead.
    image = wpg1Hatched(19);
    std::tie(red, white) = fullRows(image, kInside, true);
    EXPECT_GE(red, 4);
    EXPECT_GE(white, 4 * 4);
    EXPECT_EQ(fullRows(image, kInside).first, 0);

    // Lines rising to the right: each red pixel continues up and right, not up and left.
    image = wpg1Hatched(2);
    int rising = 0;
    int falling = 0;
    for (int y = kInside.top() + 1; y <= kInside.bottom(); ++y)
        for (int x = kInside.left() + 1; x < kInside.right(); ++x) {
            if (!isRed(image.pixel(x, y)))
                continue;
            rising += isRed(image.pixel(x + 1, y - 1)) ? 1 : 0;
            falling += isRed(image.pixel(x - 1, y - 1)) ? 1 : 0;
        }
    EXPECT_GT(rising, 100);
    EXPECT_LT(falling, rising / 4);
    EXPECT_EQ(fullRows(image, kInside).first, 0);

    // Dots: the densest style covers more than the sparsest, and neither is solid.
    const int sparse = redPixels(wpg1Hatched(11), kInside);
    const int dense = redPixels(wpg1Hatched(17), kInside);
    EXPECT_GT(sparse, 0);
    EXPECT_GT(dense, sparse * 4);
    EXPECT_LT(dense, kInside.width() * kInside.height());

    // Solid and unknown styles fill every pixel; hollow none.
    EXPECT_EQ(redPixels(wpg1Hatched(1), kInside), kInside.width() * kInside.height());
    EXPECT_EQ(redPixels(wpg1Hatched(200), kInside), kInside.width() * kInside.height());
    EXPECT_EQ(redPixels(wpg1Hatched(0), kInside), 0);
}

TEST(WpgHatch, Version2PatternsAndTheBackgroundBeneath)
{
    QImage image = wpg2Hatched(18);
    auto [red, white] = fullRows(image, kInside);
    EXPECT_GE(red, 4);
    EXPECT_GE(white, 4 * 4);
    EXPECT_EQ(redPixels(wpg2Hatched(0), kInside), kInside.width() * kInside.height());
    EXPECT_EQ(redPixels(wpg2Hatched(1), kInside), 0);

    // Cross-hatch over a blue square: the blue shows between the lines.
    const QByteArray file = wpg2File(1200, 2400, 1200, { wpg2Colour(0x31, qRgb(0, 0, 255), true),
                                                         wpg2Object(0x18, kWpg2Filled, { 150, 150, 1100, 1050, 0, 0 }),
                                                         wpg2Colour(0x31, kRed, true), wpg2BrushPattern(20),
                                                         wpg2Object(0x18, kWpg2Filled, { 150, 150, 1100, 1050, 0, 0 }) });
    image = renderWpg(file, kSize);
    int blue = 0;
    for (int y = kInside.top(); y <= kInside.bottom(); ++y)
        for (int x = kInside.left(); x <= kInside.right(); ++x)
            blue += image.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
    EXPECT_GT(blue, kInside.width() * kInside.height() / 2);
    EXPECT_GE(fullRows(image, kInside).first, 4);
    EXPECT_GE(fullRows(image, kInside, true).first, 4);
}

} // namespace
} // namespace mv::imaging::test
