// Old Windows metafiles drawn where a probe of a few pixels cannot tell: hatches with and without
// their background, the caller's clip, and text. Shapes, pens, objects, bitmaps, regions, palettes,
// raster operations, map modes and damage are rows of the fixtures' MANIFEST.
#include "../common/Fixtures.h"
#include "../common/Render.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

QImage draw(const QString& file, QSize size = {100, 100})
{
    return renderVector(decodeWmfData, fixture(file), size);
}

TEST(Wmf, HatchesClipAndTextDrawWhereTheRecordsSay)
{
    // A blue hatched brush over the whole picture, in opaque mode (its gaps in the green background
    // colour) or transparent (the white beneath shows).
    for (const bool opaque : {true, false}) {
        const QImage h =
            draw(opaque ? QStringLiteral("hatch-opaque.wmf") : QStringLiteral("hatch-opaque.wmf set=102:01"));
        const auto column = [&](QColor c) {
            return countPixels(h, QRect(50, 10, 1, 80), [&](QRgb px) { return near(px, c); });
        };
        const int blue = column(Qt::blue), green = column(Qt::green), white = column(Qt::white);
        EXPECT_GT(blue, 0);
        EXPECT_EQ(green > 0, opaque);
        EXPECT_EQ(white > 0, !opaque);
        EXPECT_EQ(blue + green + white, 80);
    }

    // The caller's clip holds: of the red square (20..80), only the left half is painted.
    const DecodeResult p = decodeWmfData(fixture(QStringLiteral("red-square.wmf")));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    QImage clipped(100, 100, QImage::Format_RGB32);
    clipped.fill(Qt::white);
    {
        QPainter painter(&clipped);
        painter.setClipRect(0, 0, 50, 100);
        p.drawing->draw(painter, QRectF(0, 0, 100, 100));
    }
    EXPECT_TRUE(pixelsAre(clipped, {{40, 50, Qt::red}, {60, 50, Qt::white}}));

    // "HHHH" in a bold font 40 units high at (10, 10) of a 200 x 100 picture draws in its box.
    const QImage text = draw(QStringLiteral("text.wmf"), {200, 100});
    EXPECT_GT(darkPixels(text, QRect(10, 10, 120, 45)), 100);
    EXPECT_EQ(darkPixels(text, QRect(0, 60, 200, 40)), 0);
}

} // namespace
} // namespace mv::imaging::test
