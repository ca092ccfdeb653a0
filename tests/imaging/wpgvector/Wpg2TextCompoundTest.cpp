// Version 2 text (lines, blocks, paths, the WordPerfect 6 characters of text data) and compound
// polygons drawn as one path.
#include "RenderWpg.h"
#include "WpgVectorEncoder.h"

#include "imaging/wpg/Wpg2Text.h"
#include "imaging/wpg/WpgStyle.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
const QSize kSize(192, 96); // 2 x 1 inch at 1200 units per inch: 12.5 units a pixel

QByteArray picture(const QList<QByteArray>& records)
{
    return wpg2File(1200, 2400, 1200, records);
}

TEST(Wpg2Text, CharactersPassFunctionCodesBy)
{
    const QByteArray stream = QByteArray("AB")
        + QByteArray("\xD4\x1B\x08\x00\x01\x08\x00\xD4", 8) // a variable-length function
        + QByteArray("C\x80") + QByteArray("\xF0" "D\x00\xF0", 4) + QByteArray("\xF2\x0C\xF2", 3)
        + QByteArray("\xD0\x04\x08\x00\x00\x08\x00\xD0", 8) + "E\x0A";
    EXPECT_EQ(wpg2TextCharacters(stream, 100), QStringLiteral("ABC D\nE"));
    // A function longer than what is left, or one of unknown length, ends the text.
    EXPECT_EQ(wpg2TextCharacters(QByteArray("AB\xD4\x1B\xFF\x00xyz", 8), 100), QStringLiteral("AB"));
    EXPECT_EQ(wpg2TextCharacters(QByteArray("AB\xD4\x1B\x02\x00xyz", 8), 100), QStringLiteral("AB"));
    EXPECT_EQ(wpg2TextCharacters(QByteArray("AB\xFF" "CD"), 100), QStringLiteral("AB"));
    EXPECT_EQ(wpg2TextCharacters(QByteArray("AB\xF0" "C"), 100), QStringLiteral("AB"));
    EXPECT_EQ(wpg2TextCharacters(QByteArray(10000, 'x'), kMaxWpgTextLength).size(), kMaxWpgTextLength);
}

TEST(Wpg2Text, LinesBlocksAndPathsDrawInsideTheirPlace)
{
    ensureGuiApplication();
    // 12 points = 200 units = 16 pixels high; baseline at y = 360 units (pixel 67), x from 240 (19).
    QImage image = renderWpg(picture({ wpg2TextLine(240, 360), wpg2TextData("HHHH") }), kSize);
    EXPECT_GT(darkPixels(image, QRect(19, 50, 60, 18)), 60);
    EXPECT_EQ(darkPixels(image, QRect(0, 70, 192, 26)), 0);
    EXPECT_EQ(darkPixels(image, QRect(0, 0, 192, 45)), 0);
    EXPECT_EQ(darkPixels(image, QRect(100, 0, 92, 96)), 0);

    // Centred on x = 1200 (pixel 96): ink on both sides of the point.
    image = renderWpg(picture({ wpg2TextLine(1200, 360, 1), wpg2TextData("HHHH") }), kSize);
    EXPECT_GT(darkPixels(image, QRect(70, 50, 26, 18)), 20);
    EXPECT_GT(darkPixels(image, QRect(97, 50, 26, 18)), 20);
    // Turned by 90 degrees the line runs upwards from its point, in a narrow column.
    image = renderWpg(picture({ wpg2TextLine(1200, 100, 0, 90), wpg2TextData("HHHH") }), kSize);
    EXPECT_GT(darkPixels(image, QRect(80, 20, 17, 70)), 60);
    EXPECT_EQ(darkPixels(image, QRect(100, 0, 92, 96)), 0);
    EXPECT_EQ(darkPixels(image, QRect(0, 0, 75, 96)), 0);

    // A block: its first line starts at the top left of its box (pixels 19..96 x 8..40).
    image = renderWpg(picture({ wpg2TextBox(240, 1100, 1200, 700), wpg2TextData("HHHH") }), kSize);
    EXPECT_GT(darkPixels(image, QRect(19, 8, 60, 20)), 60);
    EXPECT_EQ(darkPixels(image, QRect(0, 40, 192, 56)), 0);
    // A block of two lines puts the second below the first, still inside the box.
    image = renderWpg(picture({ wpg2TextBox(240, 1100, 1200, 700), wpg2TextData(QByteArray("HH\xD0\x01\x08\x00\x00\x08\x00\xD0HH", 12)) }), kSize);
    EXPECT_GT(darkPixels(image, QRect(19, 27, 60, 14)), 30);
    EXPECT_EQ(darkPixels(image, QRect(0, 45, 192, 51)), 0);
    // A path draws like a block; text data without a text object before it draws nothing.
    image = renderWpg(picture({ wpg2TextBox(240, 1100, 1200, 700, 0x1E), wpg2TextData("HHHH") }), kSize);
    EXPECT_GT(darkPixels(image, QRect(19, 8, 60, 20)), 60);
    const Picture none = decodeWpgPicture(picture({ wpg2TextData("HHHH"), wpg2Object(0x15, kWpg2Framed, { 0, 0, 10, 0 }, 2) }));
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(darkPixels(drawPicture(none, kSize), QRect(0, 0, 192, 90)), 0);
}

// Two squares, the second inside the first, as parts of one compound polygon.
QByteArray squares(int compoundFlags, std::uint32_t children = 2, bool innerReversed = false)
{
    const QList<int> outer = { 240, 100, 1140, 100, 1140, 1000, 240, 1000 };
    QList<int> inner = { 490, 350, 890, 350, 890, 750, 490, 750 };
    if (innerReversed)
        inner = { 490, 350, 490, 750, 890, 750, 890, 350 };
    return picture({ wpg2Colour(0x31, kRed, true), wpg2Rec(0x2B, QByteArray("\x30\x00", 2)), wpg2Compound(compoundFlags, children),
                     wpg2Object(0x15, 0, outer, 4), wpg2Object(0x15, 0, inner, 4) });
}

TEST(Wpg2Compound, PartsFillAsOneShape)
{
    // Odd-even: the inner square is a hole. Pixels: outer 19..91 x 16..88, inner 39..71 x 36..68.
    QImage image = renderWpg(squares(kWpg2Filled), kSize);
    EXPECT_TRUE(colourNear(image, 55, 52, kWhite, 0));
    EXPECT_TRUE(colourNear(image, 28, 52, kRed, 0));
    EXPECT_TRUE(colourNear(image, 55, 80, kRed, 0));
    EXPECT_TRUE(colourNear(image, 120, 52, kWhite, 0));

    // Winding with both squares the same way round: no hole; turned the other way: a hole.
    image = renderWpg(squares(kWpg2Filled | 0x1000), kSize);
    EXPECT_TRUE(colourNear(image, 55, 52, kRed, 0));
    image = renderWpg(squares(kWpg2Filled | 0x1000, 2, true), kSize);
    EXPECT_TRUE(colourNear(image, 55, 52, kWhite, 0));

    // Not filled: only the parts' outlines, each closed when the compound is closed.
    image = renderWpg(squares(kWpg2Framed | kWpg2Closed), kSize);
    EXPECT_TRUE(colourNear(image, 28, 52, kWhite, 0));
    EXPECT_LT(qGray(image.pixel(19, 52)), 128);
    EXPECT_LT(qGray(image.pixel(39, 52)), 128);
    image = renderWpg(squares(kWpg2Framed), kSize);
    EXPECT_EQ(qGray(image.pixel(19, 52)), 255);

    // A compound that claims more parts than the file holds is drawn with those it has.
    image = renderWpg(squares(kWpg2Filled, 0x7FFFFFFF), kSize);
    EXPECT_TRUE(colourNear(image, 28, 52, kRed, 0));
    EXPECT_TRUE(colourNear(image, 55, 52, kWhite, 0));

    // After its parts, shapes are drawn on their own again.
    QByteArray file = squares(kWpg2Filled);
    file.insert(file.size() - 4, wpg2Object(0x18, kWpg2Filled, { 1500, 100, 2300, 1000, 0, 0 }));
    image = renderWpg(file, kSize);
    EXPECT_TRUE(colourNear(image, 150, 52, kRed, 0));
    EXPECT_TRUE(colourNear(image, 55, 52, kWhite, 0));
}

} // namespace
} // namespace mv::imaging::test
